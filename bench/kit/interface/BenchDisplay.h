// The private Xvfb and the screen reader that the display benchmarks of one process share.
#ifndef KV_BENCH_DISPLAY_H
#define KV_BENCH_DISPLAY_H

#include <memory>

#include "Display.h"
#include "kit/display/XServer.h"

namespace kvbench {

struct Environment
{
	Environment() : server(std::make_unique<kvtest::XServer>())
	{
		if (server->IsRunning())
			client = std::make_unique<kvtest::XClient>();
	}

	~Environment()
	{
		client.reset();
		BPrivate::Display::Shutdown();
		server.reset();
	}

	std::unique_ptr<kvtest::XServer> server;
	std::unique_ptr<kvtest::XClient> client;
};

// Made on first use and kept for the life of the process.
inline Environment*
Shared()
{
	static Environment* sEnvironment = new Environment;
	return sEnvironment;
}

} // namespace kvbench

#endif // KV_BENCH_DISPLAY_H

// Message dispatch: post-to-handled latency within one looper and between two, a
// synchronous send with its reply, and the throughput of one looper fed by one thread.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>

#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

namespace {

// Lets the benchmark thread wait until a looper has handled what it was given.
class DoneSignal
{
public:
	void Set()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fDone = true;
		fCondition.notify_all();
	}
	void WaitAndReset()
	{
		std::unique_lock<std::mutex> guard(fLock);
		fCondition.wait(guard, [this] { return fDone; });
		fDone = false;
	}

private:
	std::mutex fLock;
	std::condition_variable fCondition;
	bool fDone = false;
};

// Passes a counter message on to its partner (or to itself) until it reaches zero.
class RelayLooper : public BLooper
{
public:
	explicit RelayLooper(DoneSignal* done) : fDone(done) {}
	void SetPartner(BMessenger partner) { fPartner = partner; }
	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'ping') {
			BMessage reply('pong');
			message->SendReply(&reply);
			return;
		}
		int32 left = 0;
		message->FindInt32("left", &left);
		if (left <= 0) {
			fDone->Set();
			return;
		}
		message->ReplaceInt32("left", left - 1);
		fPartner.SendMessage(message);
	}

private:
	DoneSignal* fDone;
	BMessenger fPartner;
};

const int32 kRelays = 1000;

void
RunRelay(benchmark::State& state, RelayLooper* first, DoneSignal& done)
{
	BMessage relay('rlay');
	relay.AddInt32("left", kRelays);
	for (auto _ : state) {
		first->PostMessage(&relay);
		done.WaitAndReset();
	}
	state.SetItemsProcessed(state.iterations() * (kRelays + 1));
	state.counters["us_per_hop"] =
	        benchmark::Counter(state.iterations() * (kRelays + 1),
	                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void
QuitLooper(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

void
BM_PostToHandledWithinOneLooper(benchmark::State& state)
{
	DoneSignal done;
	RelayLooper* looper = new RelayLooper(&done);
	looper->SetPartner(BMessenger(looper));
	looper->Run();
	RunRelay(state, looper, done);
	QuitLooper(looper);
}
BENCHMARK(BM_PostToHandledWithinOneLooper)->UseRealTime();

void
BM_PostToHandledBetweenTwoLoopers(benchmark::State& state)
{
	DoneSignal done;
	RelayLooper* first = new RelayLooper(&done);
	RelayLooper* second = new RelayLooper(&done);
	first->SetPartner(BMessenger(second));
	second->SetPartner(BMessenger(first));
	first->Run();
	second->Run();
	RunRelay(state, first, done);
	QuitLooper(first);
	QuitLooper(second);
}
BENCHMARK(BM_PostToHandledBetweenTwoLoopers)->UseRealTime();

void
BM_SynchronousSendWithReply(benchmark::State& state)
{
	DoneSignal done;
	RelayLooper* looper = new RelayLooper(&done);
	looper->Run();
	BMessenger messenger(looper);
	BMessage ping('ping');
	BMessage reply;
	for (auto _ : state) {
		messenger.SendMessage(&ping, &reply);
		benchmark::DoNotOptimize(reply.what);
	}
	QuitLooper(looper);
}
BENCHMARK(BM_SynchronousSendWithReply)->UseRealTime();

// Counts messages and signals when the expected number has been handled.
class CountingLooper : public BLooper
{
public:
	explicit CountingLooper(DoneSignal* done) : fDone(done) {}
	void Expect(int64 count) { fExpected = count; }
	void MessageReceived(BMessage*) override
	{
		if (++fHandled == fExpected) {
			fHandled = 0;
			fDone->Set();
		}
	}

private:
	DoneSignal* fDone;
	int64 fExpected = 0;
	int64 fHandled = 0;
};

void
BM_Throughput(benchmark::State& state)
{
	const int64 batch = state.range(0);
	DoneSignal done;
	CountingLooper* looper = new CountingLooper(&done);
	looper->Expect(batch);
	looper->Run();
	BMessenger messenger(looper);
	BMessage message('work');
	message.AddInt32("payload", 42);
	for (auto _ : state) {
		for (int64 i = 0; i < batch; i++)
			messenger.SendMessage(&message);
		done.WaitAndReset();
	}
	state.SetItemsProcessed(state.iterations() * batch);
	QuitLooper(looper);
}
BENCHMARK(BM_Throughput)->Arg(1000)->Arg(10000)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

// Host processes for the roster: starting detached programs, finding executables,
// and asking about teams (a team is a process).
#ifndef KIT_LINUX_PROCESS_H
#define KIT_LINUX_PROCESS_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

// Starts argv[0] (a path) with argv in a new session, standard input from /dev/null,
// and returns at once. The kit reaps the child so that it never lingers as a zombie.
// B_LAUNCH_FAILED_EXECUTABLE when the file cannot be executed.
status_t SpawnDetached(const std::vector<std::string>& argv, team_id* team);

// The executable file for name: name itself when it holds a slash, else the first
// match on $PATH. Empty when there is none.
std::string FindExecutable(const std::string& name);

// The calling process's team.
team_id ProcessTeam();

// The calling process's command line, argv[0] included.
std::vector<std::string> CurrentArguments();

// The executable file of a running team, empty when unknown.
std::string TeamExecutable(team_id team);

} // namespace BPrivate

#endif // KIT_LINUX_PROCESS_H

// Detached process start shared by the program calls (program.cpp).
#pragma once
#include <string>
#include <vector>

// Starts argv[0] with argv in folder ("" = ours): its own session, /dev/null
// as input, only descriptors 0-2 inherited, default signal handling. A name
// without "/" is looked up on PATH. Returns true when the program is running;
// false (errno-style code in *error when given) when it could not be started,
// including a missing folder. The child is reaped by a helper thread.
bool rt_spawn_detached(const std::vector<std::string>& argv, const std::string& folder,
                       int* error = nullptr);

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "writer_processes.h"

extern char** environ;

namespace kelvry::test {

TWriterProcess startWriter(const std::vector<std::string>& arguments, const std::string& errors) {
  std::vector<std::string> all = {KELVRY_RECORDS_WRITER};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errors.empty())
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, KELVRY_RECORDS_WRITER, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return {failed ? -1 : pid};
}

int waitForWriter(TWriterProcess writer) {
  const auto pid = static_cast<pid_t>(writer.id);
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace kelvry::test

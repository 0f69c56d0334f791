#include "tools/sim_modem/wine_port.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/sim_modem/symlink_file.h"
#include "tools/sim_modem/system_error.h"

namespace sim_modem {

namespace {

bool RunRegAdd(int number, const std::string& path, std::string* error) {
    std::string value = "COM" + std::to_string(number);
    pid_t child = fork();
    if (child < 0) {
        *error = SystemError("fork", errno);
        return false;
    }
    if (child == 0) {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        execlp("wine", "wine", "reg", "add", "HKLM\\Software\\Wine\\Ports", "/v", value.c_str(),
               "/t", "REG_SZ", "/d", path.c_str(), "/f", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            *error = SystemError("waitpid", errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        *error = "wine reg add " + value + " failed: no wine on the PATH";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = "wine reg add " + value + " failed (" +
                 (WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status))
                                    : std::string("killed by a signal")) +
                 ")";
        return false;
    }
    return true;
}

}  // namespace

bool MakeWinePort(int number, const std::string& path, std::string* error) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr || prefix[0] == '\0') {
        *error = "--com needs WINEPREFIX in the environment";
        return false;
    }
    if (!RunRegAdd(number, path, error)) return false;
    return PointLink(std::string(prefix) + "/dosdevices/com" + std::to_string(number), path, error);
}

}  // namespace sim_modem

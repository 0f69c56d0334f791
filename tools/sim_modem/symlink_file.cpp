#include "tools/sim_modem/symlink_file.h"

#include <climits>
#include <cstdio>
#include <unistd.h>

#include "tools/sim_modem/system_error.h"

namespace sim_modem {

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) == nullptr) return path;
    return std::string(directory) + "/" + path;
}

bool PointLink(const std::string& link, const std::string& target, std::string* error) {
    std::string temporary = link + ".new" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0) {
        *error = SystemError("cannot make the link " + link, errno);
        return false;
    }
    if (rename(temporary.c_str(), link.c_str()) != 0) {
        *error = SystemError("cannot replace " + link, errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

void RemoveLinkIfOurs(const std::string& link, const std::string& target) {
    char buffer[PATH_MAX];
    ssize_t length = readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) return;
    buffer[length] = '\0';
    if (target == buffer) unlink(link.c_str());
}

}  // namespace sim_modem

#include "images/same_file.h"

#include <sys/stat.h>

#include <filesystem>

namespace tiltshift {

FileIdentity fileIdentity(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        return FileIdentity{status.st_dev, status.st_ino, ""};
    }
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    if (error) {
        resolved = std::filesystem::absolute(path, error).lexically_normal();
    }
    return FileIdentity{0, 0, resolved.string()};
}

}  // namespace tiltshift

#pragma once
// Whether two paths name the same file, whatever their spelling: "a.png",
// "./a.png", a link to it and a second hard link are all one file.

#include <sys/types.h>

#include <string>
#include <tuple>

namespace tiltshift {

struct FileIdentity {
    dev_t device = 0;      // where the file exists
    ino_t inode = 0;
    std::string resolved;  // where it does not: the absolute path, its folders' links followed

    bool operator<(const FileIdentity& o) const {
        return std::tie(device, inode, resolved) < std::tie(o.device, o.inode, o.resolved);
    }
    bool operator==(const FileIdentity& o) const {
        return std::tie(device, inode, resolved) == std::tie(o.device, o.inode, o.resolved);
    }
};

FileIdentity fileIdentity(const std::string& path);

inline bool sameFile(const std::string& a, const std::string& b) {
    return fileIdentity(a) == fileIdentity(b);
}

}  // namespace tiltshift

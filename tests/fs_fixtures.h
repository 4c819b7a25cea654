// Real file-system situations for the tests of every layer that copies,
// deletes or walks trees: folders deeper than the path limit, a FIFO with a
// writer waiting on it, a small file system of its own (root only).
#pragma once
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

// The name of level's folder in make_deep_folders: length bytes.
inline std::string deep_name(int level, size_t length) {
    const std::string number = std::to_string(level);
    return number + std::string(length - number.size(), 'd');
}

// Creates levels folders with names of length bytes below base and a file
// "blatt.txt" holding content at the bottom; returns the bottom folder's
// whole path (longer than PATH_MAX for 25 levels of 200 bytes).
inline std::string make_deep_folders(const std::string& base, int levels, size_t length,
                                     const std::string& content) {
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = base;
    for (int level = 0; level < levels; ++level) {
        const std::string name = deep_name(level, length);
        path += "/" + name;
        const int next = mkdirat(fd, name.c_str(), 0755) == 0
                             ? openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY)
                             : -1;
        close(fd);
        if (next < 0) throw std::runtime_error("deep folders: " + name);
        fd = next;
    }
    const int file = openat(fd, "blatt.txt", O_WRONLY | O_CREAT, 0644);
    const bool written = file >= 0 && write(file, content.data(), content.size()) ==
                                          static_cast<ssize_t>(content.size());
    if (file >= 0) close(file);
    close(fd);
    if (!written) throw std::runtime_error("deep folders: blatt.txt");
    return path;
}

// A socket file at path (bound, then closed: nobody listens on it).
inline bool make_socket(const std::string& path) {
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool bound = bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(sock);
    return bound;
}

// A process that opens fifo for writing and blocks there until a reader
// opens it; it then creates marker. Killed when the object dies.
class FifoWriter {
  public:
    FifoWriter(const std::string& fifo, const std::string& marker) : marker_(marker) {
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(fifo.c_str(), O_WRONLY);
            if (fd >= 0) close(open(marker.c_str(), O_WRONLY | O_CREAT, 0644));
            _exit(0);
        }
        usleep(50 * 1000); // until it waits in open
    }
    ~FifoWriter() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;
    // Whether a reader ever opened the FIFO.
    bool released() const { return access(marker_.c_str(), F_OK) == 0; }

  private:
    pid_t pid_ = -1;
    std::string marker_;
};

// A tmpfs of size (such as "1m") mounted on folder, which it creates, and
// unmounted when the object dies. mounted() is false when not running as
// root or when the mount fails: the test then skips what needs it.
class SmallFs {
  public:
    SmallFs(const std::string& folder, const std::string& size) : folder_(folder) {
        mkdir(folder.c_str(), 0755);
        mounted_ = geteuid() == 0 &&
                   std::system(
                       ("mount -t tmpfs -o size=" + size + " tmpfs '" + folder + "'").c_str()) == 0;
    }
    ~SmallFs() {
        if (mounted_) (void)std::system(("umount -l '" + folder_ + "'").c_str());
    }
    SmallFs(const SmallFs&) = delete;
    SmallFs& operator=(const SmallFs&) = delete;
    bool mounted() const { return mounted_; }
    // Makes the file system read-only (EROFS for every write).
    bool read_only() const {
        return std::system(("mount -o remount,ro '" + folder_ + "'").c_str()) == 0;
    }

  private:
    std::string folder_;
    bool mounted_ = false;
};

// Crash-safe replacement of "Toolbar.bar": temporary file, fsync, rename,
// fsync of the folder. Every file-system call that can fail goes through the
// runtime's system-call table, so tests can make the disk fill up.
#include "app/config/button_bar_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "runtime/syscalls.h"
#include "runtime/text.h"

namespace {

int64_t WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = rt_sys.write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return 0;
        done += static_cast<size_t>(n);
    }
    return 1;
}

void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = rt_sys.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return;
    fsync(fd);
    rt_sys.close(fd);
}

} // namespace

int64_t ReplaceFileText(const std::wstring& path, const std::wstring& text) {
    const std::string target = rt_text_to_os(path);
    const std::string temp = target + ".tmp";
    const int fd = rt_sys.open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    int64_t ok = WriteAll(fd, rt_text_to_os(text));
    if (ok && fsync(fd) != 0) ok = 0;
    if (rt_sys.close(fd) != 0) ok = 0;
    if (ok && rt_sys.rename(temp.c_str(), target.c_str()) != 0) ok = 0;
    if (!ok) {
        rt_sys.unlink(temp.c_str());
        return 0;
    }
    SyncFolderOf(target);
    return 1;
}

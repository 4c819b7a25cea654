// Trash and entry facts: see entry_commands.h.
#include "platform/entry_commands.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

#include "platform/links.h"
#include "platform/mime.h"
#include "platform/trash.h"
#include "runtime/files.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

namespace {

std::wstring TimeText(time_t t) {
    struct tm local;
    if (!localtime_r(&t, &local)) return {};
    char buffer[32];
    strftime(buffer, sizeof buffer, "%d.%m.%Y %H:%M:%S", &local);
    return rt_text_from_os(buffer);
}

std::wstring ModeText(mode_t m) {
    std::wstring s = S_ISDIR(m) ? L"d" : S_ISLNK(m) ? L"l" : L"-";
    const wchar_t* letters = L"rwxrwxrwx";
    for (int i = 0; i < 9; ++i) s += (m & (0400 >> i)) ? letters[i] : L'-';
    return s;
}

std::wstring OwnerText(uid_t uid, gid_t gid) {
    const struct passwd* p = getpwuid(uid);
    const struct group* g = getgrgid(gid);
    const std::string user = p ? p->pw_name : std::to_string(uid);
    const std::string group = g ? g->gr_name : std::to_string(gid);
    return rt_text_from_os(user + ":" + group);
}

} // namespace

int pf_trash(const std::wstring& path) {
    return pf_trash_move(path).result == PfTrashDone ? 1 : 0;
}

int pf_entry_facts(const std::wstring& path, PfEntryFacts& facts) {
    std::wstring p = path;
    while (p.size() > 1 && p.back() == L'/') p.pop_back();
    struct stat s;
    if (rt_sys.lstat(rt_text_to_os(p).c_str(), &s) != 0) return 0;
    struct stat target = s;
    const bool link = S_ISLNK(s.st_mode);
    const bool followed = link && rt_sys.stat(rt_text_to_os(p).c_str(), &target) == 0;
    facts.Name = rt_path_name(p);
    facts.Kind = pf_type_name(p, S_ISDIR(followed ? target.st_mode : s.st_mode) ? 1 : 0);
    facts.Size = std::to_wstring(static_cast<long long>(target.st_size)) + L" Byte";
    facts.Modified = TimeText(s.st_mtime);
    facts.Accessed = TimeText(s.st_atime);
    facts.Changed = TimeText(s.st_ctime);
    facts.Permissions = ModeText(s.st_mode);
    facts.Owner = OwnerText(s.st_uid, s.st_gid);
    facts.LinkTarget = link ? pf_read_link(p) : std::wstring();
    return 1;
}

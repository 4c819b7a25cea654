// A generated tree of awkward real files, for any test that walks folders.
//
// make_awkward_tree (base) builds base + "/tree" holding the entries named
// below and base + "/outside", a folder the tree links to that a walk must
// never touch. Permissions are set last (chmod 000 and read-only folders), so
// TempDir's clean-up, which restores permissions first, removes it all.
//
// Tests often run as root, which the kernel lets past every permission.
// EmulatedPermissions makes the runtime's calls (through the syscall seam)
// obey the owner's permission bits as for an ordinary user, so permission
// cases test the same under root and non-root.
#pragma once
#include "runtime/syscalls.h"

#include <string>
#include <vector>

namespace awkward {
inline const std::string kBlank = "with blank.txt"; // 5 bytes "blank"
inline const std::string kUmlaut = "Umlaute \xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F.txt";
inline const std::string kLineFeed = "line\nfeed.txt";
inline const std::string kBadUtf8 = "bad-\xFF\xFE-name.txt";
inline const std::string kLongName = std::string(251, 'n') + ".txt"; // 255 bytes
inline const std::string kHidden = ".hidden";
inline const std::string kReadOnlyFile = "read-only.txt"; // mode 0444
inline const std::string kLockedFile = "locked.txt";      // mode 000
inline const std::string kFifo = "fifo";
inline const std::string kBrokenLink = "broken link";          // -> "does-not-exist"
inline const std::string kLoopLink = "loop";                   // -> "loop"
inline const std::string kFileLink = "file link";              // -> kBlank
inline const std::string kOutsideLink = "outside link";        // -> the outside folder
inline const std::string kSub = "sub";                         // sub/deeper/leaf.txt, sub/notes.txt
inline const std::string kLockedFolder = "locked folder";      // mode 000, holds inside.txt
inline const std::string kReadOnlyFolder = "read-only folder"; // 0555, kept.txt, inner/x.txt
inline const std::string kOutsideFile = "precious.txt";        // in the outside folder
} // namespace awkward

struct AwkwardTree {
    std::string root;                 // the tree, without trailing "/"
    std::string outside;              // the folder outside the tree
    std::vector<std::string> files;   // entries of root that list as files
    std::vector<std::string> folders; // entries of root that list as folders
};

AwkwardTree make_awkward_tree(const std::string& base);

// While alive, the seam refuses what the permission bits refuse an owner
// who is not root (listing, entering and changing folders).
class EmulatedPermissions {
  public:
    EmulatedPermissions();
    ~EmulatedPermissions();
    EmulatedPermissions(const EmulatedPermissions&) = delete;
    EmulatedPermissions& operator=(const EmulatedPermissions&) = delete;

  private:
    RtSyscallsRestore restore_;
};

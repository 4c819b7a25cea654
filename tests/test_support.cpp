// Shared test set-up: see test_support.h.
#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

void test_support_init(int, char**) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static std::string runtime_dir;
    char tmpl[] = "/tmp/tc-xdg-XXXXXX";
    if (mkdtemp(tmpl)) {
        chmod(tmpl, 0700);
        runtime_dir = tmpl;
        setenv("XDG_RUNTIME_DIR", runtime_dir.c_str(), 1);
    }
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/tc-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    // chmod first so that tests leaving 000 folders behind clean up too
    std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) {
    }
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream f(*this / name, std::ios::binary);
    f << bytes;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream f(*this / name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

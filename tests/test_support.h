// Helpers shared by all test programs: a private temporary folder per test
// and process-wide set-up (offscreen Qt, private XDG runtime folder).
#pragma once
#include <string>

void test_support_init(int argc, char** argv);

// A fresh folder under the system's temporary folder, removed (with
// everything in it, permissions restored first) when the object dies.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; } // ends without "/"
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

  private:
    std::string path_;
};

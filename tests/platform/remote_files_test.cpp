// Remote folders on the loopback sftp server: a listing gives what the local
// listing gives for the same folder, and changes reach the right entries.
#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/remote_files.h"
#include "remote_world.h"
#include "runtime/text.h"

namespace {

void Sort(std::vector<RtDirEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const RtDirEntry& a, const RtDirEntry& b) { return a.name < b.name; });
}

std::string Text(const std::wstring& s) {
    return rt_text_to_utf8(s);
}

} // namespace

using RemoteFiles = RemoteTest;

TEST_F(RemoteFiles, ListingMatchesTheLocalListingOfTheSameFolder) {
    const std::string awkward[] = {"a.txt", ".versteckt", "zeile\numbruch", "kein-utf8-\xff"};
    for (const std::string& name : awkward) {
        const int fd = open(Local(name).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(5, write(fd, "hallo", 5));
        close(fd);
    }
    chmod(Local("a.txt").c_str(), 0444);
    mkdir(Local("sub").c_str(), 0755);
    symlink("a.txt", Local("link").c_str());
    symlink("sub", Local("link-to-folder").c_str());
    symlink("fehlt", Local("broken").c_str());
    mkfifo(Local("fifo").c_str(), 0644);

    std::vector<RtDirEntry> remote, local;
    std::vector<std::wstring> mime;
    ASSERT_TRUE(pf_remote_dir_read(call, At(""), &remote, &mime))
        << Text(pf_remote_call_message(call));
    ASSERT_EQ(remote.size(), mime.size());
    const auto a =
        std::find_if(remote.begin(), remote.end(), [](auto& e) { return e.name == L"a.txt"; });
    ASSERT_NE(remote.end(), a);
    EXPECT_EQ(L"text/plain", mime[a - remote.begin()]);
    ASSERT_TRUE(rt_dir_read(rt_text_from_os(folder), &local));
    Sort(remote);
    Sort(local);
    ASSERT_EQ(local.size(), remote.size());
    for (size_t i = 0; i < local.size(); ++i) {
        SCOPED_TRACE(Text(local[i].name));
        EXPECT_EQ(local[i].name, remote[i].name);
        EXPECT_EQ(local[i].type, remote[i].type);
        EXPECT_EQ(local[i].attributes, remote[i].attributes);
        if (local[i].name != L"." && local[i].name != L"..") {
            EXPECT_EQ(local[i].size, remote[i].size);
            EXPECT_EQ(local[i].modified, remote[i].modified);
        }
    }

    RtDirEntry one;
    ASSERT_TRUE(pf_remote_query(call, At("link"), &one, nullptr, PfRemoteNoFollow));
    EXPECT_EQ(RtEntryFile, one.type);
    EXPECT_TRUE(one.attributes & RtAttrLink);

    // The top of the server lists no "..".
    std::vector<RtDirEntry> top;
    ASSERT_TRUE(pf_remote_dir_read(call, world->Root(), &top));
    EXPECT_TRUE(std::none_of(top.begin(), top.end(), [](auto& e) { return e.name == L".."; }));

    int64_t free_bytes = 0, total_bytes = 0;
    ASSERT_TRUE(pf_remote_disk_space(call, At(""), &free_bytes, &total_bytes));
    EXPECT_GT(free_bytes, 0);
    EXPECT_GE(total_bytes, free_bytes);
}

TEST_F(RemoteFiles, MakeRenameAndDeleteNeverReplaceNorFollowLinks) {
    ASSERT_TRUE(pf_remote_make_folder(call, At("neu")));
    EXPECT_FALSE(pf_remote_make_folder(call, At("neu")));
    EXPECT_EQ(PfRemoteExists, pf_remote_call_status(call));

    std::ofstream(Local("a.txt")) << "alt";
    std::ofstream(Local("b.txt")) << "bleibt";
    EXPECT_FALSE(pf_remote_rename(call, At("a.txt"), L"b.txt"));
    EXPECT_EQ(PfRemoteExists, pf_remote_call_status(call));
    EXPECT_TRUE(pf_remote_rename(call, At("a.txt"), L"c d.txt"));
    EXPECT_EQ(0, access(Local("c d.txt").c_str(), F_OK));
    EXPECT_FALSE(pf_remote_rename(call, At("b.txt"), L"../b.txt"));
    EXPECT_EQ(PfRemoteBadLocation, pf_remote_call_status(call));

    // A tree holding a link to a folder outside it: the link goes, the
    // folder it points to stays.
    const std::string outside = world->NewFolder();
    std::ofstream(outside + "/wichtig") << "x";
    mkdir(Local("baum").c_str(), 0755);
    mkdir(Local("baum/tief").c_str(), 0755);
    std::ofstream(Local("baum/tief/f")) << "f";
    symlink(outside.c_str(), Local("baum/tief/nach-aussen").c_str());
    int64_t reported = 0;
    auto count = [](int64_t, int64_t done, void* user) {
        *static_cast<int64_t*>(user) = done;
        return 1;
    };
    ASSERT_TRUE(pf_remote_delete(call, At("baum"), count, &reported))
        << Text(pf_remote_call_message(call));
    EXPECT_NE(0, access(Local("baum").c_str(), F_OK));
    EXPECT_EQ(0, access((outside + "/wichtig").c_str(), F_OK));
    EXPECT_EQ(4, reported); // f, the link, tief, baum

    EXPECT_FALSE(pf_remote_delete(call, At("gibt-es-nicht")));
    EXPECT_EQ(PfRemoteNotFound, pf_remote_call_status(call));
}

TEST_F(RemoteFiles, StatusTellsWhatIsWrongWithTheLocation) {
    std::vector<RtDirEntry> entries = {{L"vorher"}};
    EXPECT_FALSE(pf_remote_dir_read(call, L"http://h/", &entries));
    EXPECT_EQ(PfRemoteBadLocation, pf_remote_call_status(call));
    EXPECT_FALSE(pf_remote_dir_read(call, L"sftp://nobody@127.0.0.1:1/", &entries));
    EXPECT_EQ(PfRemoteNotMounted, pf_remote_call_status(call));
    ASSERT_EQ(1u, entries.size()); // a failure leaves the caller's entries alone
    EXPECT_STREQ(L"Der Server antwortet nicht", pf_remote_status_reason(PfRemoteNotAnswering));
}

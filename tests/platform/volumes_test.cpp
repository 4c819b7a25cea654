// Mounted volumes as drives: mount table fixtures, a fake /sys tree and a
// fake by-label folder in a private temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/volumes.h"
#include "test_support.h"

namespace {

// A typical desktop with a USB stick, a DVD, a network share and the usual
// pseudo file systems.
const char* kMounts = "sysfs /sys sysfs rw,nosuid 0 0\n"
                      "proc /proc proc rw 0 0\n"
                      "udev /dev devtmpfs rw 0 0\n"
                      "tmpfs /run tmpfs rw 0 0\n"
                      "/dev/sda2 / ext4 rw,relatime 0 0\n"
                      "/dev/sda1 /boot/efi vfat rw 0 0\n"
                      "/dev/sda3 /home ext4 rw 0 0\n"
                      "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                      "/dev/loop4 /mnt/image ext4 ro 0 0\n"
                      "/dev/sdb1 /run/media/anna/MEIN\\040STICK vfat rw 0 0\n"
                      "/dev/sr0 /media/dvd iso9660 ro 0 0\n"
                      "server:/export /net/daten nfs4 rw 0 0\n"
                      "tmpfs /tmp tmpfs rw 0 0\n"
                      "/dev/sda3 /srv/bind ext4 rw 0 0\n";

void make_dir(const std::string& path) {
    ASSERT_EQ(0, system(("mkdir -p '" + path + "'").c_str()));
}

void link_to(const std::string& target, const std::string& link) {
    ASSERT_EQ(0, symlink(target.c_str(), link.c_str()));
}

// /sys/class/block entries link into /sys/devices like the kernel's do; the
// stick sits on a USB bus, the second disk is only marked removable.
void make_sys_tree(const TempDir& t) {
    const std::string sys = t / "sys";
    const std::string usb = sys + "/devices/pci0000:00/usb1/1-1/host6/block/sdb";
    make_dir(usb + "/sdb1");
    make_dir(sys + "/devices/pci0000:00/ata1/block/sda/sda3");
    make_dir(sys + "/devices/pci0000:00/ata2/block/sdc/sdc1");
    t.write("sys/devices/pci0000:00/ata1/block/sda/removable", "0\n");
    t.write("sys/devices/pci0000:00/ata2/block/sdc/removable", "1\n");
    make_dir(sys + "/class/block");
    link_to(usb + "/sdb1", sys + "/class/block/sdb1");
    link_to(sys + "/devices/pci0000:00/ata1/block/sda/sda3", sys + "/class/block/sda3");
    link_to(sys + "/devices/pci0000:00/ata2/block/sdc/sdc1", sys + "/class/block/sdc1");
}

const PfVolume* find_mount(const std::vector<PfVolume>& v, const std::wstring& mount) {
    for (const auto& x : v)
        if (x.mount == mount) return &x;
    return nullptr;
}

} // namespace

TEST(Volumes, FiltersOrdersAndClassifies) {
    TempDir t;
    make_sys_tree(t);
    make_dir(t / "by-label");
    link_to("../../sdb1", t / "by-label/MEIN\\x20STICK");
    link_to("../../sda3", t / "by-label/home");
    const auto v = pf_volumes_parse(kMounts, t / "sys", t / "by-label");

    std::vector<std::wstring> mounts;
    for (const auto& x : v) mounts.push_back(x.mount);
    // /home and /srv/bind share a source: the shorter path stays.
    const std::vector<std::wstring> expected = {L"/",           L"/home/",
                                                L"/media/dvd/", L"/mnt/image/",
                                                L"/net/daten/", L"/run/media/anna/MEIN STICK/"};
    EXPECT_EQ(expected, mounts);

    EXPECT_EQ(L"Hard Disk", v[0].kind);
    EXPECT_EQ(L"/", v[0].letter);
    EXPECT_EQ(L"/", v[0].label);
    EXPECT_EQ(L"ext4", v[0].fs_type);

    const PfVolume* home = find_mount(v, L"/home/");
    EXPECT_EQ(L"Hard Disk", home->kind);
    EXPECT_EQ(L"home", home->label);
    EXPECT_EQ(L"H", home->letter);

    const PfVolume* stick = find_mount(v, L"/run/media/anna/MEIN STICK/");
    EXPECT_EQ(L"USB Laufwerk", stick->kind);
    EXPECT_EQ(L"MEIN STICK", stick->label);
    EXPECT_EQ(L"M", stick->letter);
    EXPECT_EQ(L"/dev/sdb1", stick->source);

    EXPECT_EQ(L"CD Rom", find_mount(v, L"/media/dvd/")->kind);
    EXPECT_EQ(L"dvd", find_mount(v, L"/media/dvd/")->label);
    EXPECT_EQ(L"Netzwerk", find_mount(v, L"/net/daten/")->kind);
    EXPECT_EQ(L"D", find_mount(v, L"/net/daten/")->letter);
}

TEST(Volumes, RemovableParentDiskAndOpticalDevice) {
    TempDir t;
    make_sys_tree(t);
    const auto v = pf_volumes_parse("/dev/sdc1 /mnt/karte ext4 rw 0 0\n"
                                    "/dev/sr1 /mnt/cd udf ro 0 0\n"
                                    "/dev/sr0 /mnt/disc auto ro 0 0\n",
                                    t / "sys", "");
    ASSERT_EQ(3u, v.size());
    EXPECT_EQ(L"CD Rom", v[0].kind);       // /mnt/cd: udf
    EXPECT_EQ(L"CD Rom", v[1].kind);       // /mnt/disc: sr device
    EXPECT_EQ(L"USB Laufwerk", v[2].kind); // parent disk sdc is removable
    EXPECT_EQ(L"karte", v[2].label);
    EXPECT_EQ(L"K", v[2].letter);
}

TEST(Volumes, EscapesHidingAndOddInput) {
    // A later mount on the same point hides the earlier one; an overlay root
    // (a container) is still the hard disk; lowercase umlauts upper-case.
    const auto v = pf_volumes_parse("overlay / overlay rw 0 0\n"
                                    "/dev/sdd1 /mnt/x ext4 rw 0 0\n"
                                    "tmpfs /mnt/x tmpfs rw 0 0\n"
                                    "/dev/sde1 /mnt/\\303\\274bung\\011tab ext4 rw 0 0\n"
                                    "garbage\n\n"
                                    "/dev/sdf1 relative ext4 rw 0 0\n",
                                    "/nonexistent-sys", "/nonexistent-labels");
    ASSERT_EQ(2u, v.size());
    EXPECT_EQ(L"/", v[0].mount);
    EXPECT_EQ(L"Hard Disk", v[0].kind);
    EXPECT_EQ(L"/mnt/übung\xDC09tab/", v[1].mount); // tab kept, escaped losslessly
    EXPECT_EQ(L"Ü", v[1].letter);
    EXPECT_TRUE(pf_volumes_parse("", "", "").empty());
}

TEST(Volumes, VolumeOfPathTakesLongestMountPoint) {
    const auto v = pf_volumes_parse("/dev/sda2 / ext4 rw 0 0\n"
                                    "/dev/sda3 /home ext4 rw 0 0\n"
                                    "/dev/sdb1 /home/anna/usb vfat rw 0 0\n",
                                    "", "");
    ASSERT_EQ(3u, v.size());
    EXPECT_EQ(0, pf_volume_of_path(v, L"/etc/"));
    EXPECT_EQ(1, pf_volume_of_path(v, L"/home/"));
    EXPECT_EQ(1, pf_volume_of_path(v, L"/home"));
    EXPECT_EQ(1, pf_volume_of_path(v, L"/home/anna/usb2/"));
    EXPECT_EQ(2, pf_volume_of_path(v, L"/home/anna/usb/a/b/"));
    EXPECT_EQ(-1, pf_volume_of_path({}, L"/etc/"));
}

TEST(Volumes, CurrentSystemAndDiskSpace) {
    const auto v = pf_volumes_current();
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(L"/", v[0].mount);
    TempDir t;
    int64_t free_bytes = -1, total = -1;
    ASSERT_EQ(1,
              pf_disk_space(std::wstring(t.path().begin(), t.path().end()), &free_bytes, &total));
    EXPECT_GT(total, 0);
    EXPECT_GE(total, free_bytes);
    EXPECT_GE(free_bytes, 0);
    EXPECT_EQ(0, pf_disk_space(L"/nonexistent/folder/", &free_bytes, &total));
    EXPECT_EQ(0, free_bytes);
    EXPECT_EQ(0, total);
}

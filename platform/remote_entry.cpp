// GIO files of location texts, and GIO's file information as the entries a
// pane lists (the rules of the local listing, runtime/files.h). See
// remote_internal.h.
#include <sys/stat.h>

#include "platform/remote_internal.h"
#include "platform/remote_location.h"
#include "runtime/text.h"

// Each attribute costs a listing of many entries about a tenth more time
// in GVfs's messages, so the content type, a guess from the name on most
// backends, comes only when it is asked for.
const char* const kRemoteEntryAttributes = G_FILE_ATTRIBUTE_STANDARD_NAME
    "," G_FILE_ATTRIBUTE_STANDARD_TYPE "," G_FILE_ATTRIBUTE_STANDARD_SIZE
    "," G_FILE_ATTRIBUTE_STANDARD_IS_SYMLINK "," G_FILE_ATTRIBUTE_TIME_MODIFIED
    "," G_FILE_ATTRIBUTE_UNIX_MODE;
const char* const kRemoteEntryAttributesWithMime = G_FILE_ATTRIBUTE_STANDARD_NAME
    "," G_FILE_ATTRIBUTE_STANDARD_TYPE "," G_FILE_ATTRIBUTE_STANDARD_SIZE
    "," G_FILE_ATTRIBUTE_STANDARD_IS_SYMLINK "," G_FILE_ATTRIBUTE_TIME_MODIFIED
    "," G_FILE_ATTRIBUTE_UNIX_MODE "," G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE;

GFile* RemoteFileFor(const std::wstring& location) {
    if (!location.empty() && location[0] == L'/')
        return g_file_new_for_path(rt_text_to_os(location).c_str());
    PfRemoteLocation l;
    if (!pf_remote_parse(location, &l)) return nullptr;
    return g_file_new_for_uri(pf_remote_uri(l).c_str());
}

namespace {

// A backend without modes (smb, dav) has no read-only bit: asking for
// access::can-write as well costs every entry of a listing as much as its
// modification time.
bool ReadOnly(GFileInfo* info) {
    return g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_UNIX_MODE) &&
           !(g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_UNIX_MODE) & S_IWUSR);
}

// Devices, sockets and FIFOs: GIO calls them special, the mode tells which.
bool System(GFileInfo* info, GFileType type) {
    if (type == G_FILE_TYPE_SPECIAL) return true;
    if (!g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_UNIX_MODE)) return false;
    const mode_t mode = g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_UNIX_MODE);
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

} // namespace

void RemoteEntryOf(GFileInfo* info, RtWallClock& clock, RtDirEntry* entry, std::wstring* mime) {
    const char* name = g_file_info_get_attribute_byte_string(info, G_FILE_ATTRIBUTE_STANDARD_NAME);
    entry->name = rt_text_from_os(name ? name : "");
    const auto type = static_cast<GFileType>(
        g_file_info_get_attribute_uint32(info, G_FILE_ATTRIBUTE_STANDARD_TYPE));
    const bool folder = type == G_FILE_TYPE_DIRECTORY;
    const bool link =
        g_file_info_get_attribute_boolean(info, G_FILE_ATTRIBUTE_STANDARD_IS_SYMLINK) ||
        type == G_FILE_TYPE_SYMBOLIC_LINK;
    entry->type = folder ? RtEntryFolder : RtEntryFile;
    // A link GIO could not follow (it stays of type link) is a broken one.
    entry->size = folder || type == G_FILE_TYPE_SYMBOLIC_LINK
                      ? 0
                      : static_cast<int64_t>(
                            g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_STANDARD_SIZE));
    int bits = 0;
    if (ReadOnly(info)) bits |= RtAttrReadOnly;
    if (name && name[0] == '.' && std::string_view(name) != "." && std::string_view(name) != "..")
        bits |= RtAttrHidden;
    if (!folder && !link && System(info, type)) bits |= RtAttrSystem;
    if (folder) bits |= RtAttrFolder;
    if (link) bits |= RtAttrLink;
    entry->attributes = bits ? bits : RtAttrNormal;
    const uint64_t modified =
        g_file_info_get_attribute_uint64(info, G_FILE_ATTRIBUTE_TIME_MODIFIED);
    entry->modified = clock.Convert(static_cast<int64_t>(modified));
    if (mime) {
        const char* type_name =
            g_file_info_get_attribute_string(info, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE);
        *mime = type_name ? rt_text_from_utf8(type_name) : std::wstring();
    }
}

// FillPane and the main-thread half of a listing (pane_reader.h): the rows,
// read and sorted on any thread (pane_reader.cpp), are added in one pass with
// redrawing off, so a large folder costs one repaint.
// Type names and icons come later from the pane's workers (pane_workers.h);
// rows start with the extension and the generic pictures ImgParent, ImgFolder
// and ImgFile.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_texts.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

uint32_t PaneNewRowTag(const Pane& pane) {
    return PaneTagEpoch(pane.ListingEpoch);
}

uint32_t PaneNewRowTag(int64_t list) {
    const Pane* pane = PaneOf(list);
    return pane ? PaneNewRowTag(*pane) : 0;
}

namespace {
// A link's row shows the link mark over its picture, as the listing's rows do.
void MarkLink(Pane& pane, int64_t row, const FileEntry& e) {
    if (row >= 0 && (e.Attributes & RtAttrLink))
        tk_list_set_item_mark(ListOf(pane), row, TkListMarkLink);
}
} // namespace

void AppendFolderRow(Pane& pane, const FileEntry& folder) {
    MarkLink(pane,
             tk_list_add_item(ListOf(pane), -1, folder.Name + L"\n\n", tk_image_handle(ImgFolder),
                              PaneRowFolder, PaneNewRowTag(pane)),
             folder);
}

void AppendFileRow(Pane& pane, const FileEntry& e) {
    MarkLink(pane,
             tk_list_add_item(ListOf(pane), -1,
                              e.Name + L'\n' + e.DateText + L'\n' + e.TypeText + L'\n' + e.SizeText,
                              tk_image_handle(ImgFile), e.Size, PaneNewRowTag(pane)),
             e);
}

FileEntry MakeFileRecord(const std::wstring& path, std::wstring name, int64_t attributes,
                         int64_t size, int64_t date) {
    FileEntry e;
    e.Name = std::move(name);
    e.Attributes = attributes;
    e.Date = date;
    e.DateText = PaneDateText(e.Date);
    e.Size = size;
    e.SizeText = FormatSize(e.Size, 0, App.settings.FileSizeUnit);
    e.TypeText = rt_path_extension(path + e.Name);
    return e;
}

bool HiddenBySettings(int64_t attributes) {
    if (!App.settings.ShowHidden && (attributes & RtAttrHidden)) return true;
    if (!App.settings.ShowSystem && (attributes & RtAttrSystem)) return true;
    return false;
}

PaneListingRequest PaneListingRequestOf(const Pane& pane, const std::wstring& path) {
    PaneListingRequest r;
    r.Path = path;
    r.ShowHidden = App.settings.ShowHidden != 0;
    r.ShowSystem = App.settings.ShowSystem != 0;
    r.FileSizeUnit = App.settings.FileSizeUnit;
    r.SortColumn = pane.SortColumn;
    r.SortOrder = pane.SortOrder;
    return r;
}

void PutListedRows(Pane& pane, PaneListing& listing) {
    const int64_t list = ListOf(pane);
    pane.ListingEpoch++; // rows of the previous listing are no worker's business any more
    pane.RowsVersion++;
    MovePaneOn(pane);
    const uint32_t tag = PaneNewRowTag(pane);
    const intptr_t parent = tk_image_handle(ImgParent), folder = tk_image_handle(ImgFolder),
                   file = tk_image_handle(ImgFile);
    for (TkListNewRow& row : listing.Rows) {
        row.image = (row.tag & PaneTagDone) ? parent : row.data == PaneRowFolder ? folder : file;
        row.tag |= tag;
    }
    tk_list_set_redraw(list, 0);
    tk_gadget_clear_items(list);
    tk_list_append_rows(list, listing.Rows);
    tk_list_set_redraw(list, 1);
    pane.Listed = pane.History;
    RemoteListingCame(pane);
}

void FinishListedRows(Pane& pane) {
    CallRelayoutMainWindow();
    StartPaneWorkers(pane);
}

// A folder that cannot be listed: say so, and put the history back on the
// folder whose rows the list still shows, so the path field and every command
// that reads PanePath name the folder the user sees.
void PaneListingFailed(Pane& pane, const std::wstring& path) {
    PaneError(PaneHeadlineError, PaneCannotList + path + PaneCannotListTail);
    PutBackListedFolder(pane);
}

void PutBackListedFolder(Pane& pane) {
    PaneHistory back = pane.History;
    if (!pane.Listed.Paths.empty())
        back = pane.Listed;
    else
        PopHistory(back);
    SetPaneHistory(pane, std::move(back));
    if (const PaneSide* side = SideOf(pane)) tk_gadget_set_text(side->PathField, PaneFolder(pane));
    // ShowPath stopped the workers of the rows still shown: let them finish.
    for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) StartPaneWorker(pane, kind);
}

int64_t FillPane(int64_t list, const std::wstring& path) {
    Pane* pane = PaneOf(list);
    if (!pane) return 0;
    PaneListing listing;
    ReadPaneListing(PaneListingRequestOf(*pane, path), &listing);
    if (!listing.Ok) {
        if (PaneIsRemote(path)) {
            RemoteListingFailed(*pane, listing.Failure);
            return 0;
        }
        PaneListingFailed(*pane, path);
        return 0;
    }
    PutListedRows(*pane, listing);
    FinishListedRows(*pane);
    return 1;
}

// The panes' exits to the desktop: see pane_hooks.h.
#include "app/panes/pane_hooks.h"

#include "app/fileops/message_dialog.h"
#include "app/panes/pane_texts.h"
#include "platform/shell_open.h"

PaneMessageFn PaneMessage = MessageDialog;
PaneShellOpenFn PaneShellOpen = pf_shell_open;

void PaneError(const std::wstring& headline, const std::wstring& text) {
    PaneMessage(MessageKindError, PaneCaption, headline, text, MessageOneButton, 0);
}

// The panes' exits to the desktop: see pane_hooks.h.
#include "app/panes/pane_hooks.h"

#include "app/core/message_dialog.h"
#include "app/panes/pane_texts.h"
#include "platform/shell_open.h"

PaneShellOpenFn PaneShellOpen = pf_shell_open;

void PaneError(const std::wstring& headline, const std::wstring& text) {
    Messages.Dialog(MessageKindError, PaneCaption, headline, text, MessageOneButton, 0);
}

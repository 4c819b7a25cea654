// Test seam at GIO's mount operation: pf_remote_mount starts and finishes
// the mount through this table, so a test can stand in for a backend (an
// smb or dav server it does not have) and put the backend's questions to
// the GMountOperation the mount made, exactly as GVfs would. For tests
// only: swap the entries while no mount runs, and reset afterwards.
#pragma once
#include <gio/gio.h>

struct PfRemoteMountSeam {
    void (*start)(GFile* file, GMountOperation* operation, GCancellable* cancellable,
                  GAsyncReadyCallback done, gpointer data);
    gboolean (*finish)(GFile* file, GAsyncResult* result, GError** error);
};

extern PfRemoteMountSeam pf_remote_mount_seam;

// Puts GIO's own g_file_mount_enclosing_volume back.
void pf_remote_mount_seam_reset();

// The window callback installed for all windows at start-up: a volume that
// arrived or was removed rebuilds the drive bars. See drive_bar.h.
#include "app/config/drive_bar.h"
#include "toolkit/events.h"

intptr_t DeviceChangeCallback(intptr_t /*window*/, int64_t message, intptr_t param1,
                              intptr_t param2) {
    if (message != TkMessageDeviceChange) return TkContinue;
    if (param1 != TkDeviceArrival && param1 != TkDeviceRemoveComplete) return TkContinue;
    const auto* header = reinterpret_cast<const TkDeviceBroadcast*>(param2);
    if (header && header->device_type == TkDeviceTypeVolume) RebuildDriveBars();
    return TkContinue;
}

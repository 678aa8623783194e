#include "recorder/recorder_notices.h"

#include <cstdio>

#include "keys/input_names.h"

std::string recordingStartedNotice(VirtualKeyCode recordKey) {
    return "Manual Gearbox: recording the drive. Press " + keyName(recordKey) +
           " again to stop and save it.";
}

NoticeText recordingSavedNotice(std::string_view fileName) {
    NoticeText notice{};
    std::snprintf(notice.data(), notice.size(), "Manual Gearbox: drive recorded in %.*s",
                  static_cast<int>(fileName.size()), fileName.data());
    return notice;
}

NoticeText recordingNotSavedNotice(WriteFault fault, VirtualKeyCode recordKey) {
    NoticeText notice{};
    const std::string_view why = writeFaultText(fault);
    std::snprintf(notice.data(), notice.size(),
                  "Manual Gearbox: recording not saved, %.*s. Press %s to try again.",
                  static_cast<int>(why.size()), why.data(), keyNameText(recordKey));
    return notice;
}

NoticeText recordingStillSavingNotice(VirtualKeyCode recordKey) {
    NoticeText notice{};
    std::snprintf(notice.data(), notice.size(),
                  "Manual Gearbox: still saving the last recording. Press %s after its notice.",
                  keyNameText(recordKey));
    return notice;
}

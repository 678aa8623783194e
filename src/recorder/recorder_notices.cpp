#include "recorder/recorder_notices.h"

#include "keys/input_names.h"

std::string recordingStartedNotice(VirtualKeyCode recordKey) {
    return "Manual Gearbox: recording the drive. Press " + keyName(recordKey) +
           " again to stop and save it.";
}

std::string recordingSavedNotice(const std::string& fileName) {
    return "Manual Gearbox: drive recorded in " + fileName;
}

std::string recordingNotSavedNotice(WriteFault fault, VirtualKeyCode recordKey) {
    return "Manual Gearbox: recording not saved, " + std::string(writeFaultText(fault)) +
           ". Press " + keyName(recordKey) + " to try again.";
}

std::string recordingStillSavingNotice(VirtualKeyCode recordKey) {
    return "Manual Gearbox: still saving the last recording. Press " + keyName(recordKey) +
           " after its notice.";
}

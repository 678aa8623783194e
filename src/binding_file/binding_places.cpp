#include "binding_file/binding_places.h"

#include "binding_file/binding_reader.h"
#include "host/file_questions.h"

static_assert(bindingFileBytesAtMost == recordedFileBytesAtMost);

std::vector<std::string> bindingFilePlaces() {
    const std::string ownFolder = moduleFolder();
    const std::string working = workingFolder();
    std::vector<std::string> places;
    if (!ownFolder.empty() && !sameFolderAsked(ownFolder, working)) {
        places.push_back(inFolder(ownFolder, bindingFileName));
    }
    places.push_back(inFolder(working, bindingFileName));
    return places;
}

FoundBindingFile findBindingFile() {
    FoundBindingFile found;
    for (const std::string& place : bindingFilePlaces()) {
        found.read = readFileAsked(place, bindingFileBytesAtMost);
        const ReadAnswer answer = found.read.answer;
        if (answer != ReadAnswer::Missing && answer != ReadAnswer::NotAFile &&
            answer != ReadAnswer::Denied) {
            found.path = place;
            break;
        }
    }
    return found;
}

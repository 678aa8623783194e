#include "bindings/binding_places.h"

#include "host/files.h"

std::vector<std::string> bindingFilePlaces() {
    const std::string ownFolder = moduleFolder();
    const std::string working = workingFolder();
    std::vector<std::string> places;
    if (!ownFolder.empty() && !sameFolder(ownFolder, working)) {
        places.push_back(inFolder(ownFolder, bindingFileName));
    }
    places.push_back(inFolder(working, bindingFileName));
    return places;
}

std::string findBindingFile() {
    for (const std::string& place : bindingFilePlaces()) {
        if (openSharedForReading(place)) {
            return place;
        }
    }
    return {};
}

#include "host/recorded_answers.h"

RecordedAnswers recordedAnswers;

namespace {

// Where the plug-in reads an injected native's answer, as it reads the
// hook's result slot: before its next call.
unsigned long long resultSlot = 0;

} // namespace

void answerWith(const RecordedAnswers& answers) {
    recordedAnswers = answers;
}

const unsigned long long* recordedResult(std::uint64_t hash) {
    resultSlot = recordedAnswers.native(hash);
    return &resultSlot;
}

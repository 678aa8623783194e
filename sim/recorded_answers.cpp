#include "sim/recorded_answers.h"

namespace sim {

namespace {

RecordedAnswers answers;

} // namespace

const RecordedAnswers& recordedAnswers() {
    return answers;
}

void answerWith(const RecordedAnswers& given) {
    answers = given;
    answerFileQuestionsWith(given.file);
}

} // namespace sim

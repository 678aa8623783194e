// A replay's answers to the plug-in: the entries of the pass replayed, given
// in the order the plug-in asks through the stand-in's table of answers
// (sim/recorded_answers.h), in the place of the stand-in's and the file
// system's. The stand-in still records every call and checks each native
// against its catalogue; a file question answered here reaches no disk, and
// is put in the world's record in its place among the calls.
#pragma once

#include "recording/recording_file.h"

// What a replay answers from the recording: every question (the exact
// replay), or the file questions alone (the replay through the world, whose
// world answers the rest).
enum class Answering { Everything, Files };

// Until stopAnswering, the pass answers the plug-in's questions; the file
// questions only when the recording keeps them, and else the files of the
// replay's folder answer.
void answerFrom(const DriveRecording& recording, const RecordedPass& pass, Answering what);
void stopAnswering();

// Whether a recorded entry answers one of the plug-in's questions: all but
// its state, the game controllers kept with it and its force feedback's
// output.
bool answersQuestion(const RecordedCall& call);
// Whether it is what the plug-in put out through force feedback: an effect
// set, or every effect stopped, which replays compare.
bool forceOutput(const RecordedCall& call);

// The device layer as the first pass replayed keeps it: its game
// controllers found, if any, opened as they were.
void restoreKeptControllers(const RecordedPass& first);

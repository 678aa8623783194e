// The natives of a plug-in that switches an engine off with three arguments
// where the game reads four: a replay must name the call the stand-in refuses.
#define stallEngine stallEngineAsWritten
#include "host/natives.cpp"
#undef stallEngine

void stallEngine(GameHandle vehicle) {
    invokeNative<Native::StallEngine>(vehicle, std::int32_t{0}, std::int32_t{0});
}

// Replays the window-procedure fuzzing corpus and its regression files without the fuzzer
// runtime, with the same checks.
#include "CorpusReplay.h"
#include "windowproc_input.h"

TEST(WindowProcCorpus, EveryInputLeavesTheProgramSound) {
  replayCorpus("windowproc", checkWindowProcInput);
}

// Replays the settings fuzzing corpus and its regression files without the fuzzer runtime.
#include "CorpusReplay.h"
#include "SettingsOracle.h"

TEST(SettingsCorpus, EveryFileReadsAsTheModelPredicts) {
  replayCorpus("settings", checkSettingsBytes);
}

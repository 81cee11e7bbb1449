// The main of the test programs.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
#ifdef _WIN32
    // Under Wine a program now and then dies while Wine starts it, before
    // main. This first line tells tools/wine-run.sh that main was reached:
    // a run without it is such a start-up failure, not a failed test.
    // stderr is unbuffered, and the line goes out before anything can fail.
    std::fputs("kelvora-test-main\n", stderr);
    std::fflush(stderr);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

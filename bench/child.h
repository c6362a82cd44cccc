#pragma once

#include <QString>
class QApplication;
#include <vector>

// The modes the benchmark runs in child processes, so that start-up is timed from a fresh
// process and each catalogue size has its own memory peak. Each prints its results on stdout
// as lines the parent reads (see main.cpp).
namespace vxbench
{

// The program's start-up on the catalogue in `folder`; prints "exposed <monotonic ns>".
int childStartup(int& argc, char** argv, const QString& folder);
// A bare Qt program showing one window of the hub's size, with one line of text in it or none;
// prints "exposed <monotonic ns>".
int childStartupFloor(int& argc, char** argv);
// A game viewed takes microseconds: its figure is the median of this many views a run.
constexpr int kViewsPerRun = 20;

// Every in-process figure and its floor, `runs` times each (viewing a game kViewsPerRun times
// that), medians printed as "figure <key> <ours ms> <floor ms>", then "first game <ms>" for the
// process's first view and "gap <key> <ms>" for the longest stretch without event pumping.
int childMeasure(int& argc, char** argv, const QString& folder, const QString& romPath,
                 const QString& imagePath, int runs);
// Start-up and each command once, without floors; prints "peak <kB>".
int childMemory(int& argc, char** argv, const QString& folder, const QString& romPath,
                const QString& imagePath);

// Export ROM and Copy ROM of a 1 GiB file and Copy ROM of a sparse 1 GiB file in `work`, each
// against cp in the same run; prints "copyfig <key> <ours ms> <cp ms>", "copygap <key> <ms>"
// and "blocks <copy's 512-byte blocks> <source's>".
int childCopy(int& argc, char** argv, const QString& folder, const QString& work, int runs);

// Finding by name in a list of 100,000 names, each keystroke against one QString::contains pass;
// prints "findfig <ours ms> <floor ms> <first keystroke ms> 1".
int childFind(int& argc, char** argv, int runs);

// Starts the program on the catalogue in `folder` and waits until the hub has been painted.
bool startHub(QApplication& app, const QString& folder);

qint64 monotonicNs();
// The middle value (the mean of the middle two for an even count); 0 for none.
double median(std::vector<double> values);

} // namespace vxbench

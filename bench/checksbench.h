#pragma once

namespace vxbench
{

// `--checks [--check] [--runs N]`: hashing a 64 MiB ROM against sha1sum on the same file, and
// reading a DAT of 60,000 ROMs. Exit code 1 with --check when a target is missed.
int runChecksBench(int argc, char* argv[]);

} // namespace vxbench

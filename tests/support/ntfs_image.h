#pragma once
// Real NTFS images made at test time, without mounting anything: mkntfs (ntfs-3g) formats a file,
// wimcapture and wimapply (wimtools) write a folder tree of this machine into it. Tests that need
// them skip when the tools are missing.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ntfs_volume.h"

namespace ntfs_image {

// Runs a shell command with its output discarded; true when it succeeds.
bool Shell(const std::string& command);
// Whether every one of the tools is on the search path.
bool ToolsPresent(const std::vector<std::string>& tools);
// The tools MakeImage needs, and the message a test skips with when one is missing.
const std::vector<std::string>& ImageTools();
std::string MissingToolsMessage();
// A new empty folder under the system's temporary folder.
std::filesystem::path MakeTempFolder();

// Formats `image` as a volume of `size_mib` MiB and writes the tree at `tree` into its root (the
// WIM file it goes through lies beside the image). False when a step fails.
bool MakeImage(const std::filesystem::path& tree, const std::filesystem::path& image, int size_mib = 16);

std::vector<uint8_t> ReadImage(const std::filesystem::path& image);
// Reads of the raw volume from `bytes`, which must outlive the reader; changes to them show.
platform::ntfs::ReadVolume Reader(const std::vector<uint8_t>& bytes);

}  // namespace ntfs_image

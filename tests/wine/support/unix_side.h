#pragma once
// The Linux side of the Wine test bench: what a test needs from outside the prefix, where Wine
// offers no Win32 call for it (symbolic links, a Linux process holding a file open).
//
//   MakeUnixLink(tree.Path("link.tmp"), keeper);             // ln -s, to a file or a folder
//   LinuxHolder holder(file, scratch);                        // a Linux process opens the file
//   ...delete the file...
//   EXPECT_EQ(holder.ReadThroughHandle(), std::string(n, '\0'));
#include <windows.h>

#include <functional>
#include <string>

// Wine's mapping of a Windows path to its Unix file; empty on Windows.
std::string UnixPath(const std::string& path);
// Starts a Unix program under Wine and waits, on change notifications of `folder`, until `done`
// holds (or a minute passes with no change there); whether it holds.
bool RunUnix(const std::string& folder, const std::string& program, const std::string& arguments,
             const std::function<bool()>& done);
// A symbolic link at `link` to `target` (ln -s): Wine lists one to a folder as a folder with the
// reparse attribute and one to a file as a plain file. False where it cannot be made.
bool MakeUnixLink(const std::string& link, const std::string& target);
// Whether a path exists and carries the reparse attribute (a junction, or a Unix link to a folder
// as Wine lists it).
bool IsReparsePoint(const std::string& path);
// A folder link: an NTFS junction where the file system takes one; Wine 8 refuses junctions
// (FSCTL_SET_REPARSE_POINT fails), so there it is a Unix link made with ln, which Wine lists as a
// folder with the reparse attribute. False where neither works.
bool MakeFolderLink(const std::string& link, const std::string& target);
// Removes a link made so, never what it points at (Wine's DeleteFileA on a link to a file
// deletes the target).
bool RemoveUnixLink(const std::string& link);

// Wine's recycle bin: the files folder of the XDG trash under XDG_DATA_HOME (which the test bench
// points into the prefix's own folder), as a Windows path; empty when XDG_DATA_HOME is unset.
std::string WineTrashFiles();
// Gives the prefix drive `letter`: the Unix folder `mount_point`, with `device` (a Unix file, such
// as an image of the volume) as its raw device, "\\.\X:". Wine's mount manager is told, as Wine's
// own configuration tool tells it, so that programs list the drive at once; links made in
// dosdevices by hand are seen only by a Wine session started after them. Empty paths remove the
// drive. Whether the mount manager took it.
bool DefineWineDrive(char letter, const std::string& mount_point, const std::string& device);

// A Linux process, outside Wine's knowledge, that holds a file open for reading from its start,
// as another operating system's program on a shared disk might. Wine's sharing rules do not see
// it, so the file can be overwritten and deleted under it; the process then reads what the file's
// content became through its handle. `scratch` is a folder for its signals, not below the file.
class LinuxHolder {
 public:
  LinuxHolder(const std::string& file, const std::string& scratch);
  ~LinuxHolder();  // lets the process end if the test did not ask for the content
  LinuxHolder(const LinuxHolder&) = delete;
  LinuxHolder& operator=(const LinuxHolder&) = delete;

  bool holding() const { return holding_; }
  // Everything the process reads through its open handle, from the file's start; "<failed>" when
  // it could not be read. Once only.
  std::string ReadThroughHandle();

 private:
  std::string scratch_, fifo_, out_;
  bool holding_ = false, released_ = false;
};

// Writing a file so that a failure never damages what was on disk.
//
// Replacing: the text goes to a temporary file beside the target, is
// flushed, gets the target's permission bits, owner and extended attributes
// (access control lists among them) and is renamed over it; a symbolic link
// is followed, so the link stays and its target gets the text. Where a
// rename would break something (several hard links, an owner or attribute
// the new file could not keep, a directory the editor may not write in) the
// file is written in place once the whole text is ready, and its old text is
// put back if that write fails. So is a file that cannot be renamed over (a
// single file mounted on its own, as containers mount them: EBUSY or EXDEV);
// its new text is first complete and synced in the temporary file. An
// in-place write is read back and compared before it counts as done.
// Appending writes at the end and cuts the file back to its old length if
// that fails. A replacement counts as done only once the directory that
// holds the new name is synced too.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace lumo {

class SafeWriter {
public:
    SafeWriter() = default;
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // Gets ready to replace (or append to) `path`. False, with nothing
    // changed on disk, when the file cannot be written. A file that does
    // not exist yet is made with `newMode` (less the umask).
    bool Open(const std::string& path, bool append, mode_t newMode = 0666);
    void Write(std::string_view bytes);
    // Puts the text in place. False when anything failed; the file on disk
    // is then as it was (or, when only the sync of its directory after the
    // rename failed, holds the whole new text) and no temporary file is left.
    bool Commit();
    // Gives up: the temporary file goes, the target is untouched.
    void Abandon();
    // After a Commit that failed: whether the target was written at all (it
    // then holds the new text whole, or its old text put back, as far as
    // the disk lets it); either way what is there is the editor's own.
    bool touchedTarget() const { return touched_; }

    bool appending() const { return mode_ == Mode::Append; }
    // Appending to a file whose last line has no line end: what is appended
    // must begin with one, or its first line would join that last line.
    bool endsInOpenLine() const { return openLine_; }
    // The file that is written: the path with its symbolic links followed.
    const std::string& target() const { return target_; }

private:
    enum class Mode { None, Temp, InPlace, Append };
    bool FlushBuffer();
    bool CommitTemp();
    bool InPlaceAfterRename();
    bool CommitInPlace();
    bool CommitAppend();

    Mode mode_ = Mode::None;
    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    std::string buffer_;
    bool failed_ = false;
    bool touched_ = false;
    off_t appendStart_ = 0;
    bool openLine_ = false;
};

// `path` with its symbolic links followed (the final one may not exist yet).
std::string FollowLinks(const std::string& path);

// Syncs the directory that holds `path`, so that a file made or renamed
// there keeps its name after a crash. False when the sync failed; true too
// when the directory cannot be opened for it (one the editor may not read)
// or its file system cannot sync a directory at all.
bool SyncDirectoryOf(const std::string& path);

}  // namespace lumo

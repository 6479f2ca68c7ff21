#pragma once

#include <cstdint>

#include "platform/ansi_string.h"
#include "platform/graphics.h"

namespace zinnow {

// Whether the clipboard offers a picture to take: a bitmap (one the system makes from a
// device-independent bitmap too), or a PNG picture where there is no bitmap and no metafile.
// Does not open the clipboard.
bool ClipboardOffersPicture();

// Takes the clipboard's picture into the holder: the first format, in the clipboard's own
// order, that is a bitmap (with the clipboard palette, when there is one) or a metafile; with
// neither, a PNG picture, copied as a bitmap of the same colours would be. Only a
// complete graphic replaces the held one; the clipboard's content is never changed.
// Returns the clipboard's sequence number as it was when the picture was taken.
// Fails with "invalid clipboard format" when no such format is there or the clipboard stays held
// by another program, and with the graphic's own failures.
std::uint32_t TakeClipboardPicture(TPicture& holder);

// Writes the held graphic to the file at `path`: a bitmap file, or the metafile's own bytes.
// With no graphic held nothing happens. The file is created first (EFCreateError), so a failure
// while the image is made leaves it empty, and a short write leaves what was written.
void WritePictureFile(TPicture& holder, const AnsiString& path);

// The emptying after a save: opens the clipboard (with the scoped open's few tries) and empties
// it only if it still holds the content that was taken, `takenSequence` being the number
// TakeClipboardPicture returned. A picture another program copied since is left for the next
// attempt. False when the clipboard could not be opened, so nothing was emptied.
bool EmptyClipboardIfUnchanged(std::uint32_t takenSequence);

}  // namespace zinnow

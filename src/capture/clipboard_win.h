#pragma once

namespace vistrel {

// Replaces the clipboard contents with an independent copy of the preview
// picture (CF_BITMAP, plus CF_PALETTE when the bitmap has a palette).
// Raises "Impossible d'ouvrir le Presse-papiers" when another program holds it.
void CopyPreviewToClipboard();

}  // namespace vistrel

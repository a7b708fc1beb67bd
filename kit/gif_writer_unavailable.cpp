#include "kit/preview.h"

// The Windows build has no GIF library: Debian packages giflib for the build machine only.
bool write_gif(int32_t, int32_t, const std::vector<PreviewShowing>&, const PictureMaker&, std::vector<uint8_t>& out,
               std::string& reason)
{
    out.clear();
    reason = "this build of velmora-kit cannot write animations (it has no GIF library); "
             "run the preview with the kit built for Debian";
    return false;
}

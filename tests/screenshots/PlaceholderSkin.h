#pragma once

// Plain stand-ins for skin images not yet among our resources, so that the
// kit's scenes show where each slice goes. A real image of the same name wins.

namespace parley::screenshots {

void ensurePlaceholderSkin();

} // namespace parley::screenshots

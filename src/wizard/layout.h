#pragma once
// Distances of the step windows' layout, in pixels at 96 dpi. A front end
// that places its controls itself scales them to the monitor's DPI with
// ScaledPixels; Qt scales its layouts by itself.

namespace fjl::wizard {

// Between the end of a label's text and the box it names, as drawn.
inline constexpr int kLabelGap = 8;

// `pixels` at 96 dpi, at `dpi`; a part of a pixel counts as a whole one, so
// a distance never shrinks below its share.
constexpr int ScaledPixels(int pixels, int dpi) { return (pixels * dpi + 95) / 96; }

}  // namespace fjl::wizard

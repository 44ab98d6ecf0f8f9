#pragma once

// The window's design geometry, in twips (1/1440 inch), relative to each
// control's container.
namespace vantelo::Layout {

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int ClientWidth = 2700;
inline constexpr int ClientHeight = 4620;

inline constexpr TwipsRect Frame1{120, 0, 2535, 615};
inline constexpr TwipsRect FileName{120, 240, 2295, 255};
inline constexpr TwipsRect Frame2{120, 600, 2535, 1815};
inline constexpr int SlotPitch = 360;
inline constexpr TwipsRect Option1{120, 240, 495, 255};  // row i: top + SlotPitch * i
inline constexpr TwipsRect PodType{600, 240, 1815, 285}; // row i: top + SlotPitch * i
inline constexpr TwipsRect Frame3{120, 2400, 2535, 2175};
inline constexpr TwipsRect Load{120, 240, 2295, 375};
inline constexpr TwipsRect search{120, 720, 2295, 375};
inline constexpr TwipsRect ProgramPod{120, 1200, 2295, 375};
inline constexpr TwipsRect Exit{120, 1680, 2295, 375};
// The overlays sit right of the window until start-up moves them over Frame1's column.
inline constexpr TwipsRect Blanking[4]{
    {2880, 600, 2535, 615},
    {2880, 1200, 2535, 375},
    {2880, 1560, 2535, 375},
    {2880, 1920, 2535, 2655},
};
inline constexpr TwipsRect Blanking1{360, 240, 1815, 1095};
inline constexpr TwipsRect PleaseWait{5520, 600, 2535, 3975};
inline constexpr TwipsRect Label3{240, 240, 1335, 975};
inline constexpr TwipsRect Label1{360, 2640, 1095, 495};
inline constexpr TwipsRect Label2{360, 3240, 1095, 375};
inline constexpr TwipsRect ProgressBar1{1800, 240, 255, 3615};

} // namespace vantelo::Layout

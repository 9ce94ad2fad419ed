// Where a program stands with its picture, the same four states in both
// programs: start-up has not yet drawn the logo; the logo shows and no
// picture is open; a picture is open as its file holds it; the picture has
// been changed since (the shuffler's randomised order; the editor keeps its
// changes in its palette history and never uses kChanged).
#pragma once

enum class PictureState { kStarting, kNoPicture, kOpened, kChanged };

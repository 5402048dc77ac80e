// The cut-scenes drawn from their descriptions in data/scenes/, and their preview.
#pragma once

#include <string>
#include <vector>

#include "gen.h"

// Every scene by name, in the order of the item table.
std::vector<std::string> SCENE_Names();
// The frames of a scene as painted (drawn once, then kept).
std::vector<Image> SCENE_Frames(const std::string& name);
// The frame-delta items from item id `first` on: the first frame of a scene carries its
// fill colour, every later one holds the runs that change the frame before it.
std::vector<Bytes> SCENE_Items(int first, int count);
// The one frame of a still (the credits pictures).
Image SCENE_Still(const std::string& name);
// A contact sheet of every fourth frame and an animated GIF per scene, into `dir`.
void SCENE_WritePreview(const std::string& dir);

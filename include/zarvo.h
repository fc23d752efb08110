#pragma once
/// @file zarvo.h
/// libzarvo: show GPU-resident images, line and scatter plots and histograms in OpenGL
/// windows. This header is all an application needs; it also makes OpenGL callable, through
/// the multi-context GLEW whose entry points follow the window made current last.

#ifndef GLEW_MX
#define GLEW_MX
#endif
#include <GL/glew.h>

#include "zarvo/defines.h"
#include "zarvo/data_layout.h"

/// The entry-point record of the library's window whose context was made current last (by
/// creating or drawing a window, or zv::Window::makeCurrent()); null before the first window.
/// GLEW calls it for every OpenGL entry point it resolves.
extern "C" ZV_API GLEWContext* glewGetContext();

#include "zarvo/annotations.h"
#include "zarvo/band.h"
#include "zarvo/bars.h"
#include "zarvo/chart.h"
#include "zarvo/error_bars.h"
#include "zarvo/exception.h"
#include "zarvo/font.h"
#include "zarvo/histogram.h"
#include "zarvo/histogram2d.h"
#include "zarvo/image.h"
#include "zarvo/image_series.h"
#include "zarvo/input.h"
#include "zarvo/link.h"
#include "zarvo/plot.h"
#include "zarvo/recorder.h"
#include "zarvo/scatter.h"
#include "zarvo/series.h"
#include "zarvo/style.h"
#include "zarvo/target.h"
#include "zarvo/window.h"

// The frame size of a Flash movie, from its header.
#pragma once

#include "tsl2/stream.h"

// Reads a plain ("FWS") or compressed ("CWS") movie header and gives the
// frame size in pixels; raises BadStreamFormatException naming the stream
// when the header is not one, ends early or holds no usable size.
void readSwfFrameSize(Tsl::Stream* pStream, int* pWidth, int* pHeight);

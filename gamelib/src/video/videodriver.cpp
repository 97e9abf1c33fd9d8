#include "video/videodriver.h"

int IVideoDriver::getVideoDepthFromFlags(int nFlags) {
    switch (nFlags & VMF_DEPTH_MASK) {
    case VMF_DEPTH_16: return 16;
    case VMF_DEPTH_24: return 24;
    case VMF_DEPTH_32: return 32;
    default: return 0;
    }
}

int IVideoDriver::getVideoDepthFlags(int nBpp) {
    switch (nBpp) {
    case 15:
    case 16: return VMF_DEPTH_16;
    case 24: return VMF_DEPTH_24;
    case 32: return VMF_DEPTH_32;
    default: return 0;
    }
}

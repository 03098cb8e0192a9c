// Root of every device (display, input, audio): no data, only a virtual
// destructor, so the application can destroy any device through one pointer.
#ifndef ENGINE_MEDIA_HSYSTEMDEVICE_H
#define ENGINE_MEDIA_HSYSTEMDEVICE_H

class HSystemDevice
{
public:
    virtual ~HSystemDevice() {}
};

#endif

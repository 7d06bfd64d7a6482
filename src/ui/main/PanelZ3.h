#pragma once
// The Z3 page (rztbsht_Z3Net) bound to the records of a Z3 device.
//
// The page is filled from a Z3 device's parameter image read over the LAN, so that a write
// starts from what the device holds and not from the page's start-up values; and it is
// collected for the Z3 write in the order EncodeBaseZ3 / EncodePortZ3 list their controls.

#include <Unit_Public.h>

namespace Ui {
class PageZ3;
}
class PageCollector;

// Fills the page from a decoded base image and the raw 63-byte port image, decoded the Z3 way
// (packing length, connection count and server style in bytes 52..58). The window then
// applies address type and work mode.
void ShowParamZ3(Ui::PageZ3 &p, const TBaseParam &base, const QByteArray &portImage);

// Collected in the order of the page's groups; ExtFlags holds the ID type number.
TBaseParam CollectBaseZ3(Ui::PageZ3 &p, PageCollector &c);
TPortParam CollectPortZ3(Ui::PageZ3 &p, PageCollector &c);

#pragma once
// The Z1 page (rztbsht_Z1) bound to the 28-byte Z1 block (Z1Block.h): filling the page from a
// block or from a set of values, greying the destination fields for the server work modes, and
// collecting the page into the values that EncodeZ1Image turns into a block. The serial write
// frame (EncodeZ1Com) and the LAN image (EncodeZ1Net) share that collection.

#include <Z1Block.h>

#include <array>

namespace Ui {
class PageZ1;
}
class PageCollector;
class QCheckBox;

// The eight flag boxes in bit order (bit 0 ConnSendId ... bit 7 RFC2217).
using Z1FlagBoxes = std::array<QCheckBox *, 8>;
Z1FlagBoxes Z1FlagBoxesOf(Ui::PageZ1 &p);
void ShowZ1Flags(quint8 flags, const Z1FlagBoxes &boxes);
quint8 GatherZ1Flags(const Z1FlagBoxes &boxes);

// Index 0, 1 or negative: destination IP and port (with their labels) enabled; 2 and up greyed.
void ApplyWorkModeZ1(Ui::PageZ1 &p, int index);

// Fills the page in the order of a read: work mode, module addresses, baud rate (custom slot
// when no item shows it), line settings, ports, destination, ID, flags; then the greying by the
// work mode now selected. A work mode above 3 leaves the list without a selection.
void ShowZ1Values(Ui::PageZ1 &p, const Z1Values &values);
// ShowZ1Values of a decoded block.
void ShowZ1Image(Ui::PageZ1 &p, const QByteArray &block);

// The page's values. An empty ID edit is set to "0" first (the page shows what is sent). Ports,
// ID and baud rate must be decimal numbers and the three addresses and the destination dotted
// texts; the first that is not is remembered by the collector.
Z1Values CollectZ1(Ui::PageZ1 &p, PageCollector &c);

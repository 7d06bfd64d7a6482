#pragma once
// The Z2 page (rztbsht_Z3) bound to the records of a Z2 device: the show half fills the page
// from decoded images in the order the device's reply is handled; the collect half reads the
// page into the values the write sequence encodes on top of the last images.
//
// Several controls are hidden; they are shown and collected all the same, so that their bytes
// go back to the device as read.

#include <ImageEncoders.h>
#include <Unit_Public.h>

#include <array>

namespace Ui {
class PageZ2;
}
class PageCollector;
class QCheckBox;

// ---- Show ------------------------------------------------------------------------------------
// Base image fields: the hidden lists, the address type, the edits, the option boxes, DNS and
// the short-connection fields. The address type's greying is the window's (ApplyAddrType).
void ShowBaseZ2(Ui::PageZ2 &p, const TBaseParam &base);
// Port image fields, the registration type first (with RzComboBox2Change).
void ShowPortZ2(Ui::PageZ2 &p, const TPortParam &port);
void ShowCloudZ2(Ui::PageZ2 &p, const TCloudParam &cloud);
// Heartbeat/registration fields; the data texts as text or hex by the hex boxes just set.
void ShowHeartRegZ2(Ui::PageZ2 &p, const HeartRegValues &values);
void ShowHttpdZ2(Ui::PageZ2 &p, const QByteArray &url, const QByteArray &header);
// The Modbus group and the controls the reply's form carries (1 or 4 bytes).
void ShowModbusZ2(Ui::PageZ2 &p, const TModbusParam &modbus, int length);

// The option boxes Reset, Link, Index, RFC2217 and bits 4..7 of ExtFlags.
using ExtFlagBoxes = std::array<QCheckBox *, 4>;
ExtFlagBoxes ExtFlagBoxesZ2(Ui::PageZ2 &p);
void ShowExtFlags(quint8 flags, const ExtFlagBoxes &boxes);
quint8 GatherExtFlags(const ExtFlagBoxes &boxes);

// Which heartbeat fields (RzComboBox1) and registration fields (RzComboBox2) show.
void RzComboBox1Change(Ui::PageZ2 &p);
void RzComboBox2Change(Ui::PageZ2 &p);

// ---- Collect -----------------------------------------------------------------------------------
// Number fields and address texts that do not convert are remembered by the collector.
TBaseParam CollectBaseZ2(Ui::PageZ2 &p, PageCollector &c);
// The registration flags follow RzComboBox2 (ApplyRegistrationType).
TPortParam CollectPortZ2(Ui::PageZ2 &p, PageCollector &c);
TCloudParam CollectCloudZ2(Ui::PageZ2 &p);
HeartRegValues CollectHeartRegZ2(Ui::PageZ2 &p, PageCollector &c);
// `withPollTime`: the 4-byte form, whose polling time must be a number.
ModbusValues CollectModbusZ2(Ui::PageZ2 &p, PageCollector &c, bool withPollTime);
// Registration type of RzComboBox2 (0 when nothing is selected).
int RegistrationTypeZ2(const Ui::PageZ2 &p);
// HTTPD URL and header (lines joined by CR LF) as GBK bytes.
QByteArray HttpdUrlZ2(const Ui::PageZ2 &p);
QByteArray HttpdHeaderZ2(const Ui::PageZ2 &p);

#include "FactoryImages.h"

#include "Unit_ProFun.h"
#include "Unit_Public.h"
#include "Z1Block.h"

namespace {

constexpr quint16 FirstNewFirmware = 4017; // heartbeat/registration and HTTPD from here on
constexpr char RemoteIp[] = "192.0.2.201";
constexpr int RemotePort = 8234;
constexpr int LocalPort = 20108;

// An image whose every byte is 0x80 | (offset & 0x7F): never zero, and a moved byte shows.
QByteArray Patterned(int size) {
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char(0x80 | (i & 0x7F));
    return image;
}

void PutLE(QByteArray &image, int offset, quint32 value, int count) {
    for (int i = 0; i < count; ++i)
        image[offset + i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray Dotted(quint32 ip) {
    return UIntToIPText(ip);
}

// The x.y.z.1 address of the /24 that `ip` is in.
quint32 FirstHost(quint32 ip) {
    return (ip & 0xFFFFFF00u) | 1u;
}

QByteArray BaseImage(const FactorySpec &spec) {
    QByteArray base = Patterned(BaseImageSize);
    // Flags: static address (bit 7); bits 3 and 6 are the device's own and must survive writes.
    base[3] = char(0xC8);
    PutLE(base, 4, 1900, 2); // UPnP port
    PutLE(base, 6, 80, 2);   // web server port
    IPTextToBytes(base, 9, Dotted(spec.ip));
    IPTextToBytes(base, 13, Dotted(FirstHost(spec.ip)));
    IPTextToBytes(base, 17, "255.255.255.0");
    TextToFixedBytes(base, 21, spec.name, 16);
    TextToFixedBytes(base, 37, spec.user.left(6), 6);
    TextToFixedBytes(base, 43, spec.password.left(6), 6);
    // Extension flags: Z2 RFC2217 option on; Z3 ID type 0 (no ID).
    base[52] = char(spec.model == SimModel::Z2 ? 0x80 : 0x00);
    base.replace(53, 6, QByteArray(6, char(0xFF))); // user MAC: the device's own
    IPTextToBytes(base, 59, Dotted(FirstHost(spec.ip)));
    base[63] = char(3); // short-connection time, seconds
    return base;
}

QByteArray PortImage(const FactorySpec &spec) {
    QByteArray port = Patterned(PortImageSize);
    PutLE(port, 0, 115200, 4);
    port[4] = char(8); // data bits
    port[5] = char(1); // parity none
    port[6] = char(1); // stop bits
    port[7] = char(1); // flow control none
    PutLE(port, 8, 0, 4);
    PutLE(port, 12, LocalPort, 2);
    PutLE(port, 14, RemotePort, 2);
    TextToFixedBytes(port, 16, RemoteIp, 30);
    // Port flags: bits 0 and 7 are the device's own; Modbus, sync, cloud, kick, MAC reg off.
    port[50] = char(0x81);
    port[51] = char(1); // TCP client
    if (spec.model == SimModel::Z2) {
        port[52] = char(0);      // HTTPD method GET
        port[53] = char(4);      // TCP server connections
        PutLE(port, 54, 300, 2); // reset timeout, seconds
    } else {
        PutLE(port, 52, 512, 4); // serial packing length
    }
    port[56] = char(0);    // custom registration off
    port[58] = char(0x41); // 4 connections, style 1 (transparent)
    return port;
}

QByteArray CloudImage(const FactorySpec &spec) {
    QByteArray cloud = Patterned(CloudImageSize);
    TextToFixedBytes(cloud, 2, "QV" + BytesToHexText(spec.mac), 20);
    TextToFixedBytes(cloud, 22, "12345678", 8);
    return cloud;
}

QByteArray HeartRegImage() {
    QByteArray image(HeartRegImageSize, '\0');
    const QByteArray heart = "ping";
    const QByteArray reg = "N6-REG";
    image[0] = char(0x05); // network heartbeat, registration packet on connecting
    PutLE(image, 1, 30, 2);
    image[3] = char(heart.size());
    image[4] = char(reg.size());
    TextToFixedBytes(image, 5, heart, 40);
    TextToFixedBytes(image, 45, reg, 40);
    return image;
}

QByteArray HttpdImage() {
    QByteArray image(HttpdImageSize, '\0');
    const QByteArray url = "/n6/data.php";
    const QByteArray header = "Content-Type: text/plain";
    image[0] = char(url.size());
    TextToFixedBytes(image, 1, url, 100);
    image[101] = char(header.size());
    TextToFixedBytes(image, 102, header, 200);
    return image;
}

QByteArray ModbusImage(int length) {
    if (length == ModbusImageShort)
        return QByteArray(1, '\0');
    if (length == ModbusImageLong)
        return QByteArray::fromHex("000000C8"); // off, polling off, 200
    return {};
}

QByteArray Z1Block(const FactorySpec &spec) {
    Z1Values values = Z1FactoryValues();
    values.ModuleIP = Dotted(spec.ip);
    values.Gateway = Dotted(FirstHost(spec.ip));
    values.Mask = "255.255.255.0";
    values.DeIP = RemoteIp;
    values.DePort = RemotePort;
    values.ModulePort = LocalPort;
    return EncodeZ1Image(values);
}

} // namespace

SimImages FactoryImages(const FactorySpec &spec) {
    SimImages images;
    if (spec.model == SimModel::Z1) {
        images.z1 = Z1Block(spec);
        return images;
    }
    images.param = BaseImage(spec) + PortImage(spec);
    images.cloud = CloudImage(spec);
    if (spec.version >= FirstNewFirmware) {
        images.heartReg = HeartRegImage();
        images.httpd = HttpdImage();
    }
    images.modbus = ModbusImage(spec.modbus);
    return images;
}

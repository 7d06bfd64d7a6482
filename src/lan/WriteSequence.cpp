#include "WriteSequence.h"

#include "Unit_Udp.h"

#include <LanPackets.h>
#include <Pauses.h>
#include <Unit_ProFun.h>

namespace {

WriteStep step(const char *name, const LanTarget &target, quint16 port, quint8 cmd,
               const QByteArray &data, const QByteArray &user, const QByteArray &password,
               int pauseAfterMs) {
    WriteStep s;
    s.name = name;
    s.target = target;
    s.port = port;
    s.cmd = cmd;
    s.data = data;
    s.user = user;
    s.password = password;
    s.pauseAfterMs = pauseAfterMs;
    return s;
}

void setBaseImage(TLastImages &images, const QByteArray &base) {
    images.LastParamImage.replace(0, BaseImageSize, base);
}

void setPortImage(TLastImages &images, const QByteArray &port) {
    images.LastParamImage.replace(BaseImageSize, PortImageSize, port);
}

} // namespace

QByteArray WriteStep::Packet() const {
    return data.isEmpty() ? CmdPacket(cmd, target.mac, user, password)
                          : DataPacket(cmd, target.mac, user, password, data);
}

int VersionNumber(const QString &versionText) {
    return TextToIntDef(versionText.trimmed().toLatin1(), 0);
}

int RegistrationType(const TPortParam &port) {
    int type = RegTypeNone;
    if (port.CloudEnable == 1)
        type = RegTypeCloud;
    if (port.MacReg)
        type = RegTypeMac;
    if (port.CustomReg)
        type = RegTypeUser;
    return type;
}

void ApplyRegistrationType(TPortParam &port, int regType) {
    port.MacReg = regType == RegTypeMac;
    port.CustomReg = regType == RegTypeUser;
    port.CloudEnable = regType == RegTypeCloud ? 1 : 0;
}

WriteSequence BuildZ2Write(const Z2WriteInputs &in) {
    WriteSequence seq;
    seq.images = in.images;
    TLastImages &im = seq.images;
    const auto add = [&](const char *name, const LanTarget &target, quint8 cmd,
                         const QByteArray &data, int pause) {
        seq.steps.append(step(name, target, CfgPort, cmd, data, in.user, in.password, pause));
    };

    QByteArray base = im.BaseImage();
    const EncodeResult r = EncodeBaseZ2(base, in.base, im.LastBaseFlags);
    if (!r.ok)
        seq.badFields.append(r.badField);
    setBaseImage(im, base);
    add("base", in.row, cmdWriteBase, base, WriteBlockPauseMs);

    QByteArray port = im.PortImage();
    EncodePortZ2(port, in.port, im.LastPortFlags);
    setPortImage(im, port);
    add("port", in.row, cmdWritePort, port, WriteBlockPauseMs);

    if (in.registrationType == RegTypeCloud) {
        EncodeCloud(im.LastCloudImage, in.cloud);
        add("cloud", in.selected, cmdWriteCloud, im.LastCloudImage, WriteBlockPauseMs);
    }

    const bool newFirmware = VersionNumber(in.versionText) > LastVersionWithoutHeartReg;
    if (newFirmware) {
        if (!EncodeHeartReg(im.LastHeartRegImage, in.heartReg))
            seq.badFields.append(in.heartReg.HeartHex ? "HeartData" : "RegData");
        add("heartreg", in.selected, cmdWriteHeartReg, im.LastHeartRegImage, WriteBlockPauseMs);
    }

    if (in.port.WorkMode == WorkModeHttpdClient && newFirmware) {
        EncodeHttpdUrl(im.LastHttpdImage, in.httpdUrl);
        add("httpd-url", in.selected, cmdWriteHttpdUrl, HttpdUrlBlock(im.LastHttpdImage),
            WriteBlockPauseMs);
        EncodeHttpdHeader(im.LastHttpdImage, in.httpdHeader);
        add("httpd-header", in.selected, cmdWriteHttpdHeader, HttpdHeaderBlock(im.LastHttpdImage),
            WriteBlockPauseMs);
    }

    if (in.modbusShown) {
        const int form = in.modbusForm == ModbusImageLong ? ModbusImageLong : ModbusImageShort;
        add("modbus", in.selected, cmdWriteModbus, EncodeModbus(in.modbus, form), 0);
    }

    add("restart", in.row, cmdRestart, QByteArray(), 0);
    return seq;
}

WriteSequence BuildZ3Write(const Z3WriteInputs &in) {
    WriteSequence seq;
    seq.images = in.images;
    TLastImages &im = seq.images;

    QByteArray base = im.BaseImage();
    const EncodeResult r = EncodeBaseZ3(base, in.base);
    if (!r.ok)
        seq.badFields.append(r.badField);
    setBaseImage(im, base);
    seq.steps.append(step("base", in.row, CfgPortZ3, cmdWriteBase, base, in.user, in.password,
                          WriteBlockPauseMs));

    QByteArray port = im.PortImage();
    EncodePortZ3(port, in.port);
    setPortImage(im, port);
    seq.steps.append(step("port", in.row, CfgPortZ3, cmdWritePort, port, in.user, in.password,
                          WriteBlockPauseMs));

    seq.steps.append(
        step("apply", in.row, CfgPortZ3, cmdApplyZ3, QByteArray(), in.user, in.password, 0));
    return seq;
}

void RunWriteSequence(TUdpSvr &udp, const WriteSequence &seq) {
    LastImages = seq.images;
    for (const WriteStep &s : seq.steps) {
        const bool z3 = s.port == CfgPortZ3;
        if (s.data.isEmpty()) {
            if (z3)
                udp.SendDevCmdZ3(s.target.bindIndex, s.target.mac, s.cmd, s.user, s.password);
            else
                udp.SendDevCmd(s.target.bindIndex, s.target.mac, s.cmd, s.user, s.password);
        } else {
            if (z3)
                udp.SendDevDataZ3(s.target.bindIndex, s.target.mac, s.cmd, s.user, s.password,
                                  s.data);
            else
                udp.SendDevData(s.target.bindIndex, s.target.mac, s.cmd, s.user, s.password,
                                s.data);
        }
        if (s.pauseAfterMs > 0)
            BlockingPause(s.pauseAfterMs);
    }
}

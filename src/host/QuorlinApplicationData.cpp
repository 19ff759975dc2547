#include <tarvex/host/QuorlinApplicationData.h>

#include <QtGlobal>

namespace EntityModel {

QString QuorlinApplicationData::getTarvex3DFolder()
{
    return qEnvironmentVariable("TARVEX3D_FOLDER");
}

} // namespace EntityModel

// Feeds arbitrary bytes to the reader of the CAD text format. Nothing may crash or hang; a
// refused text says why, and a read model written again reads back equal, to the byte.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/CADModel.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    QString problem;
    const std::optional<CADinterface::CADModel> model = CADinterface::CADModel::fromText(input.bytes(), &problem);
    if (!model) {
        if (!problem.startsWith(QStringLiteral("line ")))
            std::abort();
        return 0;
    }
    const QByteArray text = model->toText();
    const std::optional<CADinterface::CADModel> again = CADinterface::CADModel::fromText(text, &problem);
    if (!again || *again != *model || again->toText() != text)
        std::abort();
    for (const CADinterface::CADBody& body : model->getBodies()) {
        const size_t expected =
            body.getKind() == CADinterface::CADBody::Kind::Box ? 6 : body.getOutline().size() + 2;
        if (body.getFaces().size() != expected || body.getBound().isEmpty())
            std::abort();
    }
    return 0;
}

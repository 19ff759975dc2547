// Feeds arbitrary bytes to the saved-model reader; whatever it reads as a model is saved,
// read again and saved again. Nothing may crash or hang, a model we saved must read back,
// and reading back a saved model must give the same bytes when saved (read, save, read
// again: the same file).
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int fuzzOne(const uint8_t* data, size_t size)
{
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    QString error;
    const std::unique_ptr<EntityModel::Model> model = EntityModel::ModelFile::fromJson(input.bytes(), &error);
    if (!model) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    const QByteArray saved = EntityModel::ModelFile::toJson(*model);

    QString againError;
    const std::unique_ptr<EntityModel::Model> again = EntityModel::ModelFile::fromJson(saved, &againError);
    if (!again) {
        std::fprintf(stderr, "The saved model does not read back: %s\n", qPrintable(againError));
        std::abort();
    }
    if (EntityModel::ModelFile::toJson(*again) != saved) {
        std::fprintf(stderr, "The saved model reads back as another:\n%s\n", saved.constData());
        std::abort();
    }
    return 0;
}

#include "io/examples/examples.h"

#include <QDir>
#include <QFile>

#include "io/scenefile/scene_json.h"

namespace ramifex
{

std::vector<Example> Examples()
{
    std::vector<Example> examples;
    const QDir folder(QStringLiteral(":/examples"));
    for (const QString& file : folder.entryList(QDir::Files, QDir::Name))
    {
        QFile resource(folder.filePath(file));
        resource.open(QIODevice::ReadOnly);
        QString problem;
        if (const auto scene = SceneFromJson(resource.readAll(), &problem))
        {
            QString name = file.section(QLatin1Char('.'), 0, 0);
            name[0] = name[0].toUpper();
            examples.push_back({name, *scene});
        }
    }
    return examples;
}

}  // namespace ramifex

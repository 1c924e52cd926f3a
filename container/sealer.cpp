#include "base/messages.h"
#include "container/engine.h"
#include "container/engine_failure.h"
#include "container/every_entry.h"
#include "container/pumped_work.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_writer.h"

namespace velmora {

RunResult Engine::Seal(const std::string& password) {
    run_.host.SetCaption(Text(Msg::kEncodingCaption));
    const std::string& folder = run_.state.FolderPath;
    if (folder.empty() || folder == "\\" || folder.back() == '\\')
        return Refuse(Text(Msg::kNotAFolderToEncode, {run_.files.DisplayPath(folder)}));
    ScannedTree tree(run_.files);
    std::string container_path;
    if (Status started = StartEncoding(tree, NameRules::kExact, container_path); !started)
        return Refuse(started.error().message);

    bool left_behind = false;
    try {
        const FoundList every = EveryEntry(tree.scan);
        const WalkResult walk = EveryFolder(every);
        // The key's derivation is the slow step; the windows stay alive.
        const SealedHeader header = OrFail(NewSealedHeader(options_.sealed_parameters));
        Result<SealedKeys> keys = Error{""};
        RunWhilePumping(run_.host, [&] {
            keys = SealedKeys::Derive(password, header.salt, header.parameters);
        });
        SealedWriter writer(OrFail(std::move(keys)), header, folder.size() + 1);
        PackContainer(tree, walk, every, writer, container_path,
                      [&](int, ByteSource& source) -> Result<std::unique_ptr<ContainerReader>> {
                          Result<SealedHeader> written = ReadSealedHeader(source);
                          if (!written)
                              return written.error();
                          return std::unique_ptr<ContainerReader>(std::make_unique<SealedReader>(
                              source, written.value(), writer.keys(), run_.host));
                      });
        left_behind = WipeFolder(tree, walk, every, container_path, false);
    } catch (const EngineFailure& failure) {
        return Fail(failure.message);
    }
    return Done(left_behind);
}

}  // namespace velmora

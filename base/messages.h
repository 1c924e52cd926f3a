#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace velmora {

// Every text the program shows, by name. The texts themselves are written
// once, in messages.cpp, as UTF-8; the program works in Windows-1252, so
// each is converted once, the first time any is asked for.
enum class Msg {
    // Encoding a folder.
    kEncodingCaption,
    kNotAFolderToEncode,
    kPasswordUnusableByFormat,
    kContainerInsideFolder,
    kContainerExists,
    kAttributeTooLarge,
    kChangedWhileEncoding,
    kFolderReplacedWhileOpening,
    kNotAFolder,
    kAlreadyWorkingOn,
    kFolderNoLongerTheSame,
    kUnknownFolder,
    // What the scan refuses.
    kNameWithControlCharacters,
    kSymbolicLink,
    kNotFileNorFolder,
    kMountPoint,
    kHardLinks,
    kFileTooLarge,
    kDifferOnlyInCase,
    kStoredPathTooLong,
    kNameEndsInSpace,
    kNameNotStorableWithPassword,
    // The wipe.
    kFileInUse,
    kOverwrittenInPart,
    kLeftBehind,
    kOverwrittenBut,
    kOverwrittenNotFlushed,
    kDeletedWithoutOverwrite,
    kNeitherOverwrittenNorDeleted,
    kChangedSinceRead,
    kCancelledDuringWipe,
    kCancelledNoneHalfDone,
    kCancelledSomeLeft,
    kWipeLeftSome,
    kOneFile,
    kManyFiles,
    kOneFolder,
    kManyFolders,
    kQuoted,
    // Decoding a container.
    kDecodingCaption,
    kNotAContainer,
    kNotRestorableHere,
    kNamePartTooLong,
    kPathTooLongForSystem,
    kChangedWhileReading,
    kTooManyRestoredCopies,
    kDamagedMissingFolder,
    kRestoredTreeChanged,
    kRestoredButContainerChanged,
    kContainerEndsEarly,
    kDamagedEndsEarly,
    // What the reader of the legacy kind refuses.
    kDamagedOrNotAContainer,
    kReadOutsideFile,
    kShorterThanHeader,
    kUnknownNameWidth,
    kNegativeEntryCount,
    kRecordsDoNotFit,
    kNegativeEntrySize,
    kDataMissingAtEnd,
    kDamagedOrUnsafeName,
    kNameWithoutLeadingBackslash,
    kFolderWithoutFinalBackslash,
    kFileWithFinalBackslash,
    kNameWithForbiddenCharacters,
    kStoredNameEndsInSpace,
    kNameWithEmptyPart,
    kNameTwice,
    kDamagedNoRootEntry,
    kFileAndFolder,
    kInFolderNotCreated,
    // The key.
    kWrongPassword,
    kCharacterDoesNotFitKey,
    kDivisionByZero,
    // Names the program cannot hold.
    kUnrepresentableCharacters,
    kUnrepresentableName,
    kNameWithBackslash,
    kNameNotUtf8,
    // A failed system call: "{action} «{path}»: {reason}".
    kFailedAt,
    kCannotFind,
    kCannotFindPath,
    kCannotResolvePath,
    kCannotInspect,
    kCannotOpen,
    kCannotOpenFolder,
    kCannotRead,
    kCannotReadFolder,
    kCannotWrite,
    kCannotFlush,
    kCannotFlushToDisk,
    kCannotClose,
    kCannotLock,
    kCannotDeleteFile,
    kCannotMakeFolder,
    kCannotRemoveFolder,
    kCannotRename,
    kCannotGiveName,
    kCannotReadAttributes,
    kCannotChangeAttributes,
    kCannotChangeTime,
    kCannotChangePermissions,
    kCannotFindCurrentFolder,
    kCannotFindProgramFolder,
    // Why it failed.
    kReasonMissing,
    kReasonNoPermission,
    kReasonExists,
    kReasonPathPartNotFolder,
    kReasonIsFolder,
    kReasonFolderNotEmpty,
    kReasonDiskFull,
    kReasonFileTooLarge,
    kReasonQuotaExceeded,
    kReasonDiskError,
    kReasonReadOnlyDisk,
    kReasonInUse,
    kReasonSymbolicLink,
    kReasonLinkOrJunction,
    kReasonNameTooLong,
    kReasonTooManyOpen,
    kReasonNotSupported,
    kReasonNotOpen,
    kReasonSystemError,
    kReasonSystemErrorWithText,
    // What the file systems refuse of their own.
    kNotARegularFile,
    kChangedSinceWritten,
    kNameEndsInDotOrSpace,
    kCharacterWindowsRefuses,
    kWindowsDeviceName,
    // Start-up.
    kCannotOpenContainer,
    kContainerNameMissing,
    kFolderNameMissing,
    // The password and its dialog.
    kTypePasswordToEncode,
    kTypePasswordToDecode,
    kRepeatPassword,
    kPasswordUnusableCharacters,
    kPasswordTooShort,
    kPasswordTooLong,
    kPasswordTooManyBytes,
    kPasswordsDiffer,
    // The windows' own texts.
    kCancelar,
    kOk,
    kAceptar,
    kAceptarButton,
    kMorePrograms,
    kMoreMorePrograms,
    kVelmoraHelp,
    kInstructions,
    // velmora-cli.
    kUsage,
    kOutputLost,
    kCancelled,
    kNoPasswordReceived,
    kListSummary,
    kColumnAttributes,
    kColumnParentAttributes,
    kColumnSize,
    kColumnName,
    kFolderSize,
    kTimings,
    // The registered file type and folder verb.
    kContainerTypeTitle,
    kFolderVerb,
    kSealedFolderVerb,
    // Writing a container: leftovers of earlier runs, and the check of what
    // was written before the folder is wiped.
    kRemovedAbandonedPartial,
    kWrittenDiffersFromFolder,
    kWrittenBytesDiffer,
    // Sealed containers: what their reader refuses, naming the fault.
    kNotSealed,
    kSealedDamaged,
    kSealedShorterThanHeader,
    kSealedUnknownVersion,
    kSealedHeaderChecksum,
    kSealedUnknownKdf,
    kSealedLimitsOutOfRange,
    kSealedChunkSizeOutOfRange,
    kSealedMessageNotAuthentic,
    kSealedNoFinalMessage,
    kSealedDataAfterEnd,
    kSealedEndsEarly,
    kSealedContentLeftOver,
    kSealedEntryCountWrong,
    kSealedBadEntry,
    kSealedEntryNotUtf8,
    kSealedEntryForbiddenCharacter,
    kSealedEntryTooLong,
    kSealedEntryNotRoot,
    kSealedEntryBadFields,
    kSealedEntryTooLarge,
    // Sealed containers: writing one, and what both sides need.
    kSealedNameNotStorable,
    kSealedParametersOutOfRange,
    kSealedKeyDerivationFailed,
    kSealedOutOfMemory,
    kCryptoUnavailable,

    kCount  // not a message: the number of them
};

// The text of a message in Windows-1252, each "{1}", "{2}" ... replaced by
// the part given in that place (already Windows-1252).
std::string Text(Msg message, std::initializer_list<std::string_view> parts = {});

// The text of a message that has no places, in Windows-1252, kept for the
// whole run (for tables that hold texts, such as the windows' layouts).
std::string_view FixedText(Msg message);

// The text as written in messages.cpp, for the tests.
std::string_view Utf8Text(Msg message);

}  // namespace velmora

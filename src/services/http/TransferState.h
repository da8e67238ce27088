#pragma once

namespace kanvel::services {

// Where one transfer stands, as its channel (TransferChannel) keeps it.
//   Queued     waiting for a free slot of the client's queue
//   Sending    a worker makes the request and waits for the answer
//   Receiving  the answer came; its body arrives
//   Ended      the whole body has been taken by the waiting side
//   Failed     the failure has been taken by the waiting side, or the body
//              could not be written
//   Cancelled  given up by the waiting side
// The last three are final: nothing changes after them.
enum class TransferState { Queued, Sending, Receiving, Ended, Failed, Cancelled };

}  // namespace kanvel::services

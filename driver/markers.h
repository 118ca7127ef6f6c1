// The fixed markers the job writes into BDE rows and reads from the queue.
#ifndef PPS2BDE_DRIVER_MARKERS_H_
#define PPS2BDE_DRIVER_MARKERS_H_

// Recorder of the full run, its change-origin marker and the recorder of
// the queue rows that the queue mode works off.
constexpr const char kRecorder[] = "ZuzErOro";
// Change-origin marker of the queue mode.
constexpr const char kQueueMarker[] = "ZalToGen";
// Recorder written into BDE rows changed by the planning interface.
constexpr const char kInterfaceRecorder[] = "Kolvane";

#endif  // PPS2BDE_DRIVER_MARKERS_H_

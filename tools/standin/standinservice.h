#pragma once

#include "standinstore.h"

#include <memory>

namespace httplib {
class Server;
}

// The stand-in's HTTP side: every endpoint of the Veltrine service under
// "/veltrine/api/v1", on 127.0.0.1 only, with plausible answers from the store.
// The audio endpoint answers every operation with action "paste" and a result
// marked "[stand-in]", so nobody mistakes it for a real transcription.
class StandinService {
 public:
  explicit StandinService(StandinStore::Options options);
  ~StandinService();
  StandinService(const StandinService&) = delete;
  StandinService& operator=(const StandinService&) = delete;

  // Binds 127.0.0.1:`port` (0 picks a free one); the port, or -1.
  int bind(int port);
  // Serves until stop(); blocks.
  bool serve();
  void stop();
  // How long an idle keep-alive connection is kept (stop() waits for it).
  void setKeepAliveSeconds(int seconds);

  StandinStore& store() { return store_; }

 private:
  void installRoutes();

  StandinStore store_;
  std::unique_ptr<httplib::Server> server_;
};

// placeholder until the platform services land
